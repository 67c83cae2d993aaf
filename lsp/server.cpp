#include "lsp/server.h"

#include <cstdio>
#include <exception>

#include "lsp/handlers/handlers.h"
#include "lsp/parse_message.h"

namespace {

// Deeper JSON than any message of the protocol needs is refused before it
// is parsed, so that no input can exhaust the stack.
constexpr int kMostNesting = 64;

bool NestedTooDeeply(std::string_view body) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMostNesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// Runs a request's handler; every failure becomes an error reply.
void Answer(Server& server, const RequestHandler& handler, const Json& id,
            const Json& params) {
  try {
    Reply(server, id, handler(server, params));
  } catch (const RequestError& error) {
    ReplyError(server, id, error.code, error.what());
  } catch (const nlohmann::json::exception& error) {
    ReplyError(server, id, ErrorCode::kInvalidParams, error.what());
  } catch (const std::exception& error) {
    ReplyError(server, id, ErrorCode::kRequestFailed, error.what());
  }
}

// Runs a notification's handler; a notification has no reply, so what goes
// wrong is only logged.
void Notice(Server& server, const std::string& method,
            const NotificationHandler& handler, const Json& params) {
  try {
    handler(server, params);
  } catch (const std::exception& error) {
    Log(method + ": " + error.what());
  }
}

void Dispatch(Server& server, const Json& message) {
  const bool isRequest = message.contains("id");
  const Json id = isRequest ? message["id"] : Json();
  if (message.value("jsonrpc", "") != "2.0" || !message.contains("method") ||
      !message["method"].is_string() ||
      (isRequest && !id.is_number_integer() && !id.is_string())) {
    if (isRequest || !message.contains("method")) {
      ReplyError(server, id.is_number_integer() || id.is_string() ? id : Json(),
                 ErrorCode::kInvalidRequest, "not a JSON-RPC 2.0 request");
    }
    return;
  }
  const std::string method = message["method"];
  // Parameters are read in place: a document's whole text travels in them.
  static const Json kNoParams = Json::object();
  const Json& params =
      message.contains("params") ? message["params"] : kNoParams;
  if (!isRequest) {
    if (method == "exit") {
      server.exitRequested = true;
      return;
    }
    if (!server.initialized || server.shutdownRequested) return;
    const auto handler = NotificationHandlers().find(method);
    if (handler != NotificationHandlers().end()) {
      Notice(server, method, handler->second, params);
    } else if (method.rfind("$/", 0) != 0) {
      Log("ignored notification " + method);
    }
    return;
  }
  if (method != "initialize" && !server.initialized) {
    ReplyError(server, id, ErrorCode::kServerNotInitialized,
               "the server is not initialized");
    return;
  }
  if (server.shutdownRequested) {
    ReplyError(server, id, ErrorCode::kInvalidRequest,
               "the server is shutting down");
    return;
  }
  const auto handler = RequestHandlers().find(method);
  if (handler == RequestHandlers().end()) {
    ReplyError(server, id, ErrorCode::kMethodNotFound,
               "no such method: " + method);
    return;
  }
  Answer(server, handler->second, id, params);
}

}  // namespace

void HandleMessage(Server& server, std::string_view body) {
  Json message;
  if (NestedTooDeeply(body)) {
    ReplyError(server, Json(), ErrorCode::kParseError,
               "JSON nested too deeply");
    return;
  }
  message = ParseMessage(body);
  if (message.is_discarded()) {
    ReplyError(server, Json(), ErrorCode::kParseError, "not valid JSON");
    return;
  }
  if (!message.is_object()) {
    ReplyError(server, Json(), ErrorCode::kInvalidRequest,
               "a message must be a JSON object");
    return;
  }
  try {
    Dispatch(server, message);
  } catch (const nlohmann::json::exception&) {
    // A member of the envelope itself has the wrong type.
    ReplyError(server, Json(), ErrorCode::kInvalidRequest,
               "not a JSON-RPC 2.0 message");
  }
}

void Reply(Server& server, const Json& id, Json result) {
  // Moved in, not copied: an outline or an edit can be large.
  Json message = {{"jsonrpc", "2.0"}, {"id", id}};
  message["result"] = std::move(result);
  server.send(message);
}

void ReplyError(Server& server, const Json& id, ErrorCode code,
                const std::string& message) {
  Log("error " + std::to_string(static_cast<int32_t>(code)) + ": " + message);
  server.send({{"jsonrpc", "2.0"},
               {"id", id},
               {"error",
                {{"code", static_cast<int32_t>(code)}, {"message", message}}}});
}

void Log(const std::string& line) {
  std::fprintf(stderr, "kalvane-lsp: %s\n", line.c_str());
  std::fflush(stderr);
}

OpenDocument* FindDocument(Server& server, const Json& params) {
  const auto it = server.documents.find(DocumentUri(params));
  return it == server.documents.end() ? nullptr : it->second.get();
}
