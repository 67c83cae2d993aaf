#include "lsp/handlers/handlers.h"
#include "lsp/server.h"

void OnDidClose(Server& server, const Json& params) {
  const std::string uri = DocumentUri(params);
  if (server.documents.erase(uri) == 0) return;
  // What the editor no longer shows should not stay listed as a problem.
  server.send({{"jsonrpc", "2.0"},
               {"method", "textDocument/publishDiagnostics"},
               {"params", {{"uri", uri}, {"diagnostics", Json::array()}}}});
}
