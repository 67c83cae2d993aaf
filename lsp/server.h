// The server's state and the dispatch of one message to its handler.
//
// Requests are answered in the order they arrive, each with its result or
// an error; nothing a client sends is allowed to end the session but
// `exit`, nor to go unanswered when it expects an answer.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "lsp/open_document.h"
#include "lsp/protocol.h"

struct Server {
  // Hands a message to the client.
  std::function<void(const Json&)> send;
  bool initialized = false;
  bool shutdownRequested = false;
  bool exitRequested = false;
  PositionEncoding encoding = PositionEncoding::kUtf16;
  // Whether the client checks a document's version before applying an
  // edit, so edits can be tied to the text they were made for.
  bool versionedEdits = false;
  std::map<std::string, std::unique_ptr<OpenDocument>> documents;
};

// Handles one message body (its JSON, unparsed).
void HandleMessage(Server& server, std::string_view body);

// Replies to request `id` with `result`, or with an error.
void Reply(Server& server, const Json& id, Json result);
void ReplyError(Server& server, const Json& id, ErrorCode code,
                const std::string& message);

// A line for the log, which is standard error: standard output carries
// only the protocol.
void Log(const std::string& line);

// The open Ostrel document at params.textDocument.uri, or nullptr.
OpenDocument* FindDocument(Server& server, const Json& params);
