#include "lsp/operations.h"

#include "document/serialize.h"

namespace {

// Runs `command`; false when it did not change the document.
bool Run(SourceDocument& doc, HWND list, Command command, int32_t position) {
  ToviListBox_SetSelection(list, {position});
  const size_t steps = doc.history.undo.size();
  switch (command) {
    case Command::kMoveUp:
      MoveFunctionUp(doc, list);
      break;
    case Command::kMoveDown:
      MoveFunctionDown(doc, list);
      break;
    case Command::kMoveToTop:
      MoveFunctionToTop(doc, list);
      break;
    case Command::kMoveToBottom:
      MoveFunctionToBottom(doc, list);
      break;
    case Command::kSortByName:
      SortFunctionsByName(doc, list);
      break;
    case Command::kArrange:
      return false;
  }
  return doc.history.undo.size() > steps;
}

}  // namespace

std::vector<LineEdit> CommandEdits(OpenDocument& open, Command command,
                                   int32_t position) {
  SourceDocument& doc = open.doc;
  const HWND list = open.list->handle();
  if (!doc.problem.empty() || open.outOfStep) return {};
  const std::string_view fallback = FallbackTerminator(doc.bytes);
  // The load has already arranged the document; the arrangement is what it
  // holds now.
  if (command == Command::kArrange) {
    return LineEdits(doc.bytes, open.lines, doc.lines, fallback);
  }
  // The moves apply once the bodies are arranged; the sort's result is
  // arranged either way.
  if (!open.arranged && command != Command::kSortByName) return {};
  if (command != Command::kSortByName &&
      (position < 0 || position > doc.lastFunction)) {
    return {};
  }
  if (!Run(doc, list, command, command == Command::kSortByName ? 0 : position))
    return {};
  std::vector<LineEdit> edits =
      LineEdits(doc.bytes, open.lines, doc.lines, fallback);
  UndoMove(doc, list);
  doc.history = {};
  return edits;
}

std::vector<TextEdit> TextEdits(const OpenDocument& open,
                                const std::vector<LineEdit>& edits,
                                PositionEncoding encoding) {
  std::vector<TextEdit> out;
  out.reserve(edits.size());
  for (const LineEdit& edit : edits) {
    out.push_back({{LineStart(open, edit.first, encoding),
                    LineStart(open, edit.end, encoding)},
                   edit.text});
  }
  return out;
}
