// The protocol's types as this server uses them, and their conversion to
// and from JSON: the only place that knows how a message is spelled. The
// handlers work on these structs; the engine underneath knows nothing of
// any of it.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

using Json = nlohmann::json;

// JSON-RPC and protocol error codes.
enum class ErrorCode : int32_t {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,
};

// Thrown by a handler to answer its request with an error.
struct RequestError : std::runtime_error {
  RequestError(ErrorCode errorCode, const std::string& message)
      : std::runtime_error(message), code(errorCode) {}
  ErrorCode code;
};

// How a position's character offset is counted on its line.
enum class PositionEncoding { kUtf8, kUtf16 };

struct Position {
  int64_t line = 0;
  int64_t character = 0;
};

struct Range {
  Position start;
  Position end;
};

struct TextEdit {
  Range range;
  std::string newText;
};

enum class Severity : int32_t { kWarning = 2, kInformation = 3 };

struct Diagnostic {
  Range range;
  Severity severity = Severity::kWarning;
  std::string message;
};

struct DocumentSymbol {
  std::string name;
  std::string detail;
  Range range;
  Range selectionRange;
};

struct FoldingRange {
  int64_t startLine = 0;
  int64_t endLine = 0;
};

struct CodeAction {
  std::string title;
  std::string kind;
  std::vector<Diagnostic> diagnostics;
  bool isPreferred = false;
  // The edit of one document; `version` is set when the client checks it.
  std::string uri;
  std::optional<int64_t> version;
  std::vector<TextEdit> edits;
};

// A document change: the whole text when `range` is absent.
struct ContentChange {
  std::optional<Range> range;
  std::string text;
};

void to_json(Json& json, const Position& position);
void from_json(const Json& json, Position& position);
void to_json(Json& json, const Range& range);
void from_json(const Json& json, Range& range);
void to_json(Json& json, const TextEdit& edit);
void to_json(Json& json, const Diagnostic& diagnostic);
void to_json(Json& json, const DocumentSymbol& symbol);
void to_json(Json& json, const FoldingRange& range);
void to_json(Json& json, const CodeAction& action);
void from_json(const Json& json, ContentChange& change);

// The member `name` of `params` as T; an absent or mistyped member is
// InvalidParams, named in the reply.
template <typename T>
T Member(const Json& params, const char* name) {
  if (!params.is_object() || !params.contains(name)) {
    throw RequestError(ErrorCode::kInvalidParams,
                       std::string("missing \"") + name + "\"");
  }
  try {
    return params.at(name).get<T>();
  } catch (const nlohmann::json::exception&) {
    throw RequestError(ErrorCode::kInvalidParams,
                       std::string("\"") + name + "\" has the wrong type");
  }
}

// The object member `name` of `params`, read in place; InvalidParams when
// it is absent or no object.
const Json& MemberObject(const Json& params, const char* name);

// params.textDocument.uri, which every document request and notification
// carries.
std::string DocumentUri(const Json& params);

// The JSON of a message, for the wire. Text that is not UTF-8 never stops a
// reply: such bytes are replaced.
std::string Serialize(const Json& message);
