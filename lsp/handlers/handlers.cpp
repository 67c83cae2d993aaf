#include "lsp/handlers/handlers.h"

const std::map<std::string, RequestHandler>& RequestHandlers() {
  static const std::map<std::string, RequestHandler> handlers = {
      {"initialize", OnInitialize},
      {"shutdown", OnShutdown},
      {"textDocument/documentSymbol", OnDocumentSymbol},
      {"textDocument/foldingRange", OnFoldingRange},
      {"textDocument/codeAction", OnCodeAction},
      {"textDocument/formatting", OnFormatting},
  };
  return handlers;
}

const std::map<std::string, NotificationHandler>& NotificationHandlers() {
  static const std::map<std::string, NotificationHandler> handlers = {
      {"initialized", OnInitialized},
      {"textDocument/didOpen", OnDidOpen},
      {"textDocument/didChange", OnDidChange},
      {"textDocument/didClose", OnDidClose},
  };
  return handlers;
}
