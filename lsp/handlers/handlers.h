// One handler per request and notification the server answers; each reads
// its parameters, works on the open document, and returns its result (or
// throws RequestError).
#pragma once

#include <functional>
#include <map>
#include <string>

#include "lsp/protocol.h"

struct Server;

using RequestHandler = std::function<Json(Server&, const Json& params)>;
using NotificationHandler = std::function<void(Server&, const Json& params)>;

Json OnInitialize(Server& server, const Json& params);
Json OnShutdown(Server& server, const Json& params);
Json OnDocumentSymbol(Server& server, const Json& params);
Json OnFoldingRange(Server& server, const Json& params);
Json OnCodeAction(Server& server, const Json& params);
Json OnFormatting(Server& server, const Json& params);

void OnInitialized(Server& server, const Json& params);
void OnDidOpen(Server& server, const Json& params);
void OnDidChange(Server& server, const Json& params);
void OnDidClose(Server& server, const Json& params);

// Sends the diagnostics of the open document at `uri`.
void PublishDiagnostics(Server& server, const std::string& uri);

const std::map<std::string, RequestHandler>& RequestHandlers();
const std::map<std::string, NotificationHandler>& NotificationHandlers();
