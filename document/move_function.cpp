#include <algorithm>
#include <vector>

#include "document/source_document.h"

namespace {

bool ValidLine(const SourceDocument& doc, int32_t line) {
  return line >= 0 && line < doc.lineCount;
}

// Blocks a then b, each well formed (an empty one has lastLine firstLine - 1),
// inside the document, and declarations outside both.
bool Exchangeable(const SourceDocument& doc, const FunctionRecord& a,
                  const FunctionRecord& b) {
  return a.firstLine >= 0 && a.firstLine <= a.lastLine + 1 &&
         a.lastLine < b.firstLine && b.firstLine <= b.lastLine + 1 &&
         b.lastLine < doc.lineCount && ValidLine(doc, a.declLine) &&
         ValidLine(doc, b.declLine) &&
         (a.declLine < a.firstLine || a.declLine > b.lastLine) &&
         (b.declLine < a.firstLine || b.declLine > b.lastLine);
}

void MoveSelected(SourceDocument& doc, HWND list, int32_t a, int32_t b,
                  int32_t selected) {
  // When the list refuses its part, the document must not stay moved, or
  // record and entry would no longer match. An exchange is its own inverse,
  // so a second one puts the lines and records back.
  if (ExchangeFunctions(doc, a, b) != kTrue) return;
  if (ExchangeListEntries(list, a, b) != kTrue) {
    ExchangeFunctions(doc, a, b);
    return;
  }
  ToviListBox_SetSelection(list, {selected});
  RecordMove(doc, selected == a ? b : a, selected);
}

// Puts `text` in place of the entry at `position`; when the list refuses
// it, the old text goes back.
bool Replace(HWND list, int32_t position, const std::string& text) {
  const std::string old = ToviListBox_GetItem(list, position);
  ToviListBox_RemoveItem(list, position);
  if (ToviListBox_AddItem(list, position, text) == position) return true;
  ToviListBox_AddItem(list, position, old);
  return false;
}

int32_t SelectedPosition(HWND list) {
  std::vector<int32_t> positions;
  if (ToviListBox_GetSelection(list, positions) < 1 || positions.empty()) {
    return -1;
  }
  return positions.front();
}

}  // namespace

ToviBool ExchangeFunctions(SourceDocument& doc, int32_t a, int32_t b) {
  if (!doc.problem.empty() || a < 0 || a >= b || b > doc.lastFunction ||
      static_cast<size_t>(b) >= doc.functions.size()) {
    return kFalse;
  }
  FunctionRecord& first = doc.functions[static_cast<size_t>(a)];
  FunctionRecord& second = doc.functions[static_cast<size_t>(b)];
  if (!Exchangeable(doc, first, second)) return kFalse;

  // Each declaration line keeps its terminator: it moves with its text.
  std::swap(doc.lines[static_cast<size_t>(first.declLine)],
            doc.lines[static_cast<size_t>(second.declLine)]);

  // Only the lines from the first block's start to the second block's end
  // change places: A, between, B becomes B, between, A.
  const int32_t lengthA = first.lastLine - first.firstLine + 1;
  const int32_t lengthB = second.lastLine - second.firstLine + 1;
  const auto begin = doc.lines.begin() + first.firstLine;
  const auto end = doc.lines.begin() + second.lastLine + 1;
  std::reverse(begin, end);
  std::reverse(begin, begin + lengthB);
  std::reverse(begin + lengthB, end - lengthA);
  std::reverse(end - lengthA, end);

  // Blocks between the two shift by the difference of their lengths.
  const int32_t shift = lengthB - lengthA;
  for (int32_t k = a + 1; k < b; ++k) {
    doc.functions[static_cast<size_t>(k)].firstLine += shift;
    doc.functions[static_cast<size_t>(k)].lastLine += shift;
  }
  const int32_t startB = first.firstLine;
  const int32_t startA = second.lastLine + 1 - lengthA;
  first.firstLine = startB;
  first.lastLine = startB + lengthB - 1;
  second.firstLine = startA;
  second.lastLine = startA + lengthA - 1;
  return kTrue;
}

ToviBool ExchangeListEntries(HWND list, int32_t i, int32_t j) {
  const int32_t count = ToviListBox_GetCount(list);
  if (i < 0 || j < 0 || i >= count || j >= count) return kFalse;
  if (i == j) return kTrue;
  // Empty texts are exchanged too: a declaration may name the empty text,
  // and its entry must follow its record.
  const std::string textI = ToviListBox_GetItem(list, i);
  const std::string textJ = ToviListBox_GetItem(list, j);
  // A list short of memory may refuse an entry; each text then goes back
  // where it stood, so that the list is as it was.
  if (!Replace(list, i, textJ)) return kFalse;
  if (!Replace(list, j, textI)) {
    Replace(list, i, textI);
    return kFalse;
  }
  return kTrue;
}

// The function in position 1 is never moved up, so Up never fills position
// 0; Down on the first function still exchanges the two.
void MoveFunctionUp(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  if (p < 2) return;
  MoveSelected(doc, list, p - 1, p, p - 1);
}

void MoveFunctionDown(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  if (p < 0 || p >= doc.lastFunction) return;
  MoveSelected(doc, list, p, p + 1, p + 1);
}
