#include "lsp/protocol.h"

void to_json(Json& json, const Position& position) {
  json = {{"line", position.line}, {"character", position.character}};
}

void from_json(const Json& json, Position& position) {
  position.line = json.at("line").get<int64_t>();
  position.character = json.at("character").get<int64_t>();
  if (position.line < 0 || position.character < 0) {
    throw RequestError(ErrorCode::kInvalidParams, "a negative position");
  }
}

void to_json(Json& json, const Range& range) {
  json = {{"start", range.start}, {"end", range.end}};
}

void from_json(const Json& json, Range& range) {
  range.start = json.at("start").get<Position>();
  range.end = json.at("end").get<Position>();
}

void to_json(Json& json, const TextEdit& edit) {
  json = {{"range", edit.range}, {"newText", edit.newText}};
}

void to_json(Json& json, const Diagnostic& diagnostic) {
  json = {{"range", diagnostic.range},
          {"severity", static_cast<int32_t>(diagnostic.severity)},
          {"source", "kalvane"},
          {"message", diagnostic.message}};
}

void to_json(Json& json, const DocumentSymbol& symbol) {
  constexpr int32_t kFunctionKind = 12;
  json = {{"name", symbol.name},
          {"kind", kFunctionKind},
          {"range", symbol.range},
          {"selectionRange", symbol.selectionRange}};
  if (!symbol.detail.empty()) json["detail"] = symbol.detail;
}

void to_json(Json& json, const FoldingRange& range) {
  json = {{"startLine", range.startLine}, {"endLine", range.endLine}};
}

void to_json(Json& json, const CodeAction& action) {
  json = {{"title", action.title}, {"kind", action.kind}};
  if (!action.diagnostics.empty()) json["diagnostics"] = action.diagnostics;
  if (action.isPreferred) json["isPreferred"] = true;
  if (action.version) {
    json["edit"] = {
        {"documentChanges",
         Json::array({{{"textDocument",
                        {{"uri", action.uri}, {"version", *action.version}}},
                       {"edits", action.edits}}})}};
  } else {
    json["edit"] = {{"changes", {{action.uri, action.edits}}}};
  }
}

void from_json(const Json& json, ContentChange& change) {
  change.text = json.at("text").get<std::string>();
  if (json.contains("range")) change.range = json.at("range").get<Range>();
}

const Json& MemberObject(const Json& params, const char* name) {
  if (!params.is_object() || !params.contains(name) ||
      !params[name].is_object()) {
    throw RequestError(ErrorCode::kInvalidParams,
                       std::string("\"") + name + "\" must be an object");
  }
  return params[name];
}

std::string DocumentUri(const Json& params) {
  const Json& document = MemberObject(params, "textDocument");
  return Member<std::string>(document, "uri");
}

std::string Serialize(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}
