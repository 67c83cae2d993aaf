#include "lsp/handlers/diagnostics.h"
#include "lsp/handlers/handlers.h"
#include "lsp/operations.h"
#include "lsp/server.h"

namespace {

struct Offer {
  Command command;
  const char* title;
  const char* kind;
};

// Named as kalvane's menu names them, in the menu's order.
constexpr Offer kMoves[] = {
    {Command::kMoveUp, "Move Function Up", "refactor.move"},
    {Command::kMoveDown, "Move Function Down", "refactor.move"},
    {Command::kMoveToTop, "Move Function to Top", "refactor.move"},
    {Command::kMoveToBottom, "Move Function to Bottom", "refactor.move"},
};

CodeAction ActionOf(const Server& server, const OpenDocument& open,
                    const char* title, const char* kind,
                    const std::vector<LineEdit>& edits) {
  CodeAction action;
  action.title = title;
  action.kind = kind;
  action.uri = open.uri;
  if (server.versionedEdits) action.version = open.version;
  action.edits = TextEdits(open, edits, server.encoding);
  return action;
}

// Whether the client asked only for kinds that exclude `kind`.
bool Excluded(const Json& params, const std::string& kind) {
  if (!params.contains("context") || !params["context"].is_object()) {
    return false;
  }
  const Json& context = params["context"];
  if (!context.contains("only") || !context["only"].is_array()) return false;
  for (const Json& only : context["only"]) {
    if (!only.is_string()) continue;
    const std::string prefix = only.get<std::string>();
    if (kind == prefix || kind.rfind(prefix + ".", 0) == 0) return false;
  }
  return true;
}

}  // namespace

// The commands that would change something for the function under the
// cursor; none in a file kalvane refuses. While the bodies are out of
// declaration order only the arrangement and the sort are offered, since
// the moves are defined on an arranged file.
Json OnCodeAction(Server& server, const Json& params) {
  OpenDocument* open = FindDocument(server, params);
  const Range range = Member<Range>(params, "range");
  std::vector<CodeAction> actions;
  if (open == nullptr || open->outOfStep || !open->doc.problem.empty()) {
    return Json::array();
  }
  if (!open->arranged && !Excluded(params, "quickfix")) {
    CodeAction arrange =
        ActionOf(server, *open, "Arrange Bodies in Declaration Order",
                 "quickfix", CommandEdits(*open, Command::kArrange, 0));
    if (auto diagnostic = OrderDiagnostic(*open, server.encoding)) {
      arrange.diagnostics.push_back(*diagnostic);
    }
    arrange.isPreferred = true;
    if (!arrange.edits.empty()) actions.push_back(std::move(arrange));
  }
  const int32_t position = FunctionAtLine(*open, range.start.line);
  if (open->arranged && position >= 0 && !Excluded(params, "refactor.move")) {
    for (const Offer& offer : kMoves) {
      std::vector<LineEdit> edits =
          CommandEdits(*open, offer.command, position);
      if (!edits.empty()) {
        actions.push_back(
            ActionOf(server, *open, offer.title, offer.kind, edits));
      }
    }
  }
  if (!Excluded(params, "refactor.rewrite")) {
    std::vector<LineEdit> edits = CommandEdits(*open, Command::kSortByName, 0);
    if (!edits.empty()) {
      actions.push_back(ActionOf(server, *open, "Sort Functions by Name",
                                 "refactor.rewrite", edits));
    }
  }
  return actions;
}
