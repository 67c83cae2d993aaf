// Moves of any distance in one step, and the history that undoes and
// redoes them.
#include <algorithm>
#include <vector>

#include "document/source_document.h"

namespace {

int32_t BlockLength(const FunctionRecord& record) {
  return record.lastLine - record.firstLine + 1;
}

// Functions lo..hi can change places when their blocks lie one after the
// other inside the document, as loading lays them out, and every one of
// their declaration lines stands outside those blocks.
bool Rotatable(const SourceDocument& doc, int32_t lo, int32_t hi) {
  const auto& f = doc.functions;
  const int32_t begin = f[static_cast<size_t>(lo)].firstLine;
  const int32_t end = f[static_cast<size_t>(hi)].lastLine + 1;
  if (begin < 0 || end > doc.lineCount) return false;
  int32_t next = begin;
  for (int32_t k = lo; k <= hi; ++k) {
    const FunctionRecord& record = f[static_cast<size_t>(k)];
    if (record.firstLine != next || BlockLength(record) < 0) return false;
    next = record.lastLine + 1;
    if (record.declLine < 0 || record.declLine >= doc.lineCount ||
        (record.declLine >= begin && record.declLine < end)) {
      return false;
    }
  }
  return true;
}

// The document's half of a move; the caller has checked Rotatable.
void RotateFunctions(SourceDocument& doc, int32_t from, int32_t to) {
  auto& f = doc.functions;
  auto& lines = doc.lines;
  const int32_t lo = std::min(from, to);
  const int32_t hi = std::max(from, to);
  const bool down = from < to;

  // Declaration slots stay where they are; their texts, each with its own
  // terminator, pass one slot along.
  auto decl = [&](int32_t k) -> SourceLine& {
    return lines[static_cast<size_t>(f[static_cast<size_t>(k)].declLine)];
  };
  const SourceLine moved = decl(from);
  if (down) {
    for (int32_t k = lo; k < hi; ++k) decl(k) = decl(k + 1);
  } else {
    for (int32_t k = hi; k > lo; --k) decl(k) = decl(k - 1);
  }
  decl(to) = moved;

  // The blocks are one run of lines; the moved block goes to its far end.
  const int32_t begin = f[static_cast<size_t>(lo)].firstLine;
  const int32_t end = f[static_cast<size_t>(hi)].lastLine + 1;
  const int32_t length = BlockLength(f[static_cast<size_t>(from)]);
  const auto first = lines.begin() + begin;
  const auto last = lines.begin() + end;
  std::rotate(first, down ? first + length : last - length, last);

  // Each record between takes its neighbour's block length; the starts
  // follow from them.
  std::vector<int32_t> lengths;
  lengths.reserve(static_cast<size_t>(hi - lo + 1));
  for (int32_t k = lo; k <= hi; ++k) {
    lengths.push_back(BlockLength(f[static_cast<size_t>(k)]));
  }
  if (down) {
    std::rotate(lengths.begin(), lengths.begin() + 1, lengths.end());
  } else {
    std::rotate(lengths.begin(), lengths.end() - 1, lengths.end());
  }
  int32_t start = begin;
  for (int32_t k = lo; k <= hi; ++k) {
    FunctionRecord& record = f[static_cast<size_t>(k)];
    record.firstLine = start;
    start += lengths[static_cast<size_t>(k - lo)];
    record.lastLine = start - 1;
  }
}

// Puts the list entry at `from` at `to`; on refusal the list is left as it
// was found.
bool MoveListEntry(HWND list, int32_t from, int32_t to) {
  const std::string text = ToviListBox_GetItem(list, from);
  if (ToviListBox_RemoveItem(list, from) != kTrue) return false;
  const int32_t put = ToviListBox_AddItem(list, to, text);
  if (put == to) return true;
  if (put >= 0) ToviListBox_RemoveItem(list, put);
  ToviListBox_AddItem(list, from, text);
  return false;
}

ToviBool Move(SourceDocument& doc, HWND list, int32_t from, int32_t to) {
  const int32_t lo = std::min(from, to);
  const int32_t hi = std::max(from, to);
  if (!doc.problem.empty() || from == to || lo < 0 || hi > doc.lastFunction ||
      static_cast<size_t>(hi) >= doc.functions.size() ||
      hi >= ToviListBox_GetCount(list) || !Rotatable(doc, lo, hi)) {
    return kFalse;
  }
  // Record i must keep describing entry i: the document follows the list
  // only once the list has moved.
  if (!MoveListEntry(list, from, to)) return kFalse;
  RotateFunctions(doc, from, to);
  ToviListBox_SetSelection(list, {to});
  return kTrue;
}

// Takes the last step off `from`, makes it (backwards for an undo) and puts
// it on `to`; a step that cannot be made stays where it was.
ToviBool Replay(SourceDocument& doc, HWND list, std::vector<MoveStep>& from,
                std::vector<MoveStep>& to, bool backwards) {
  if (from.empty()) return kFalse;
  const MoveStep step = from.back();
  const ToviBool moved = backwards ? Move(doc, list, step.to, step.from)
                                   : Move(doc, list, step.from, step.to);
  if (moved != kTrue) return kFalse;
  from.pop_back();
  to.push_back(step);
  return kTrue;
}

}  // namespace

ToviBool MoveFunction(SourceDocument& doc, HWND list, int32_t from,
                      int32_t to) {
  if (Move(doc, list, from, to) != kTrue) return kFalse;
  RecordMove(doc, from, to);
  return kTrue;
}

void RecordMove(SourceDocument& doc, int32_t from, int32_t to) {
  doc.history.undo.push_back({from, to});
  doc.history.redo.clear();
}

ToviBool UndoMove(SourceDocument& doc, HWND list) {
  return Replay(doc, list, doc.history.undo, doc.history.redo, true);
}

ToviBool RedoMove(SourceDocument& doc, HWND list) {
  return Replay(doc, list, doc.history.redo, doc.history.undo, false);
}
