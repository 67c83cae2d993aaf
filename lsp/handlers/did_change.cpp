#include <algorithm>

#include "lsp/handlers/handlers.h"
#include "lsp/server.h"

namespace {

// A notification cannot be answered, and guessing would corrupt the text:
// the document is kept as it was, every edit is refused until the editor
// sends the whole text again, and the user is told.
void Refuse(Server& server, OpenDocument& open, const std::string& why) {
  open.outOfStep = true;
  Log(open.uri + ": change not applied: " + why);
  server.send(
      {{"jsonrpc", "2.0"},
       {"method", "window/showMessage"},
       {"params",
        {{"type", 1},
         {"message", "kalvane-lsp could not apply a change to " + open.uri +
                         " (" + why + "); reopen the file to go on."}}}});
}

}  // namespace

void OnDidChange(Server& server, const Json& params) {
  OpenDocument* open = FindDocument(server, params);
  if (open == nullptr) return;
  const Json& item = MemberObject(params, "textDocument");
  std::vector<ContentChange> changes;
  try {
    changes = Member<std::vector<ContentChange>>(params, "contentChanges");
  } catch (const RequestError& error) {
    Refuse(server, *open, error.what());
    return;
  }
  if (open->outOfStep) {
    // Only a whole text can bring a document out of step back.
    const auto whole =
        std::find_if(changes.rbegin(), changes.rend(),
                     [](const ContentChange& change) { return !change.range; });
    if (whole == changes.rend()) return;
    changes.erase(changes.begin(), whole.base() - 1);
  }
  try {
    ApplyChanges(*open, changes, server.encoding);
  } catch (const RequestError& error) {
    Refuse(server, *open, error.what());
    return;
  }
  if (item.contains("version") && item["version"].is_number_integer()) {
    open->version = item["version"].get<int64_t>();
  }
  if (open->outOfStep) Log(open->uri + ": the document is too large to hold");
  PublishDiagnostics(server, open->uri);
}
