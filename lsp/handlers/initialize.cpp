#include <algorithm>

#include "kalvane_version.h"
#include "lsp/handlers/handlers.h"
#include "lsp/server.h"

namespace {

// The client's capability at `path` (members separated by '/'), or null.
Json Capability(const Json& params, const std::string& path) {
  const Json* at = &params;
  size_t begin = 0;
  while (begin <= path.size()) {
    const size_t end = std::min(path.find('/', begin), path.size());
    const std::string key = path.substr(begin, end - begin);
    if (!at->is_object() || !at->contains(key)) return Json();
    at = &(*at)[key];
    begin = end + 1;
  }
  return *at;
}

}  // namespace

Json OnInitialize(Server& server, const Json& params) {
  if (server.initialized) {
    throw RequestError(ErrorCode::kInvalidRequest, "already initialized");
  }
  if (!params.is_object()) {
    throw RequestError(ErrorCode::kInvalidParams, "params must be an object");
  }
  // UTF-8 when the client can count that way, as it is what the text is;
  // UTF-16 otherwise, which every client must understand.
  server.encoding = PositionEncoding::kUtf16;
  const Json offered =
      Capability(params, "capabilities/general/positionEncodings");
  if (offered.is_array()) {
    for (const Json& encoding : offered) {
      if (encoding == "utf-8") server.encoding = PositionEncoding::kUtf8;
    }
  }
  server.versionedEdits =
      Capability(params, "capabilities/workspace/workspaceEdit/documentChanges")
          .is_boolean() &&
      Capability(params, "capabilities/workspace/workspaceEdit/documentChanges")
          .get<bool>();
  server.initialized = true;
  constexpr int32_t kIncrementalSync = 2;
  return {{"capabilities",
           {{"positionEncoding",
             server.encoding == PositionEncoding::kUtf8 ? "utf-8" : "utf-16"},
            {"textDocumentSync",
             {{"openClose", true}, {"change", kIncrementalSync}}},
            {"documentSymbolProvider", true},
            {"foldingRangeProvider", true},
            {"codeActionProvider",
             {{"codeActionKinds", Json::array({"quickfix", "refactor.move",
                                               "refactor.rewrite"})}}},
            {"documentFormattingProvider", true}}},
          {"serverInfo",
           {{"name", "kalvane-lsp"}, {"version", KALVANE_VERSION_TEXT}}}};
}

void OnInitialized(Server&, const Json&) {}

Json OnShutdown(Server& server, const Json&) {
  server.shutdownRequested = true;
  server.documents.clear();
  return Json();
}
