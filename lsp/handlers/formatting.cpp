#include "lsp/handlers/handlers.h"
#include "lsp/operations.h"
#include "lsp/server.h"

// What kalvane-arrange writes for the file: its bodies in declaration
// order. A file kalvane refuses, or one that declares no function, is left
// as it is, as kalvane-arrange leaves it.
Json OnFormatting(Server& server, const Json& params) {
  OpenDocument* open = FindDocument(server, params);
  if (open == nullptr) return Json::array();
  if (open->outOfStep) {
    throw RequestError(ErrorCode::kRequestFailed,
                       "the document is out of step with the editor; "
                       "reopen it");
  }
  if (open->doc.functions.empty()) return Json::array();
  return TextEdits(*open, CommandEdits(*open, Command::kArrange, 0),
                   server.encoding);
}
