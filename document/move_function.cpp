#include <algorithm>
#include <vector>

#include "document/rearrange.h"
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
  // and its entry must follow its record. The later entry goes in front of
  // the earlier one, which then takes the later one's place; when the list
  // refuses the second step, the first is taken back.
  const int32_t lo = std::min(i, j);
  const int32_t hi = std::max(i, j);
  if (!MoveListEntry(list, hi, lo)) return kFalse;
  if (hi - lo == 1 || MoveListEntry(list, lo + 1, hi)) return kTrue;
  if (!MoveListEntry(list, lo, hi)) AbandonList(list);
  return kFalse;
}

// Up and Down are the neighbouring case of MoveFunction. The function in
// position 1 is never moved up, so Up never fills position 0; Down on the
// first function still exchanges the two.
void MoveFunctionUp(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  if (p >= 2) MoveFunction(doc, list, p, p - 1);
}

void MoveFunctionDown(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  if (p >= 0 && p < doc.lastFunction) MoveFunction(doc, list, p, p + 1);
}

// Unlike Up, these reach position 0, as a drag does.
ToviBool MoveFunctionToTop(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  return p > 0 ? MoveFunction(doc, list, p, 0) : kFalse;
}

ToviBool MoveFunctionToBottom(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  return p >= 0 && p < doc.lastFunction
             ? MoveFunction(doc, list, p, doc.lastFunction)
             : kFalse;
}
