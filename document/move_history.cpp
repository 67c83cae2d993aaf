// Moves of any distance in one step, and the history that undoes and
// redoes them and the sort.
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "document/rearrange.h"
#include "document/source_document.h"

namespace {

int32_t BlockLength(const FunctionRecord& record) {
  return record.lastLine - record.firstLine + 1;
}

// The document's half of a move; the caller has checked BlocksInOneRun. It
// allocates nothing, so once the list has moved the document always follows.
void RotateFunctions(SourceDocument& doc, int32_t from, int32_t to) noexcept {
  auto& f = doc.functions;
  auto& lines = doc.lines;
  const int32_t lo = std::min(from, to);
  const int32_t hi = std::max(from, to);
  const bool down = from < to;
  const auto record = [&](int32_t k) -> FunctionRecord& {
    return f[static_cast<size_t>(k)];
  };

  // Declaration slots stay where they are; their texts, each with its own
  // terminator, pass one slot along.
  auto decl = [&](int32_t k) -> SourceLine& {
    return lines[static_cast<size_t>(record(k).declLine)];
  };
  const SourceLine moved = decl(from);
  if (down) {
    for (int32_t k = lo; k < hi; ++k) decl(k) = decl(k + 1);
  } else {
    for (int32_t k = hi; k > lo; --k) decl(k) = decl(k - 1);
  }
  decl(to) = moved;

  // The blocks are one run of lines; the moved block goes to its far end.
  const int32_t begin = record(lo).firstLine;
  const int32_t end = record(hi).lastLine + 1;
  const int32_t length = BlockLength(record(from));
  const auto first = lines.begin() + begin;
  const auto last = lines.begin() + end;
  std::rotate(first, down ? first + length : last - length, last);

  // Each record between takes its neighbour's block length. Walking away
  // from the moved function's old place, every neighbour is still unchanged
  // when it is read.
  if (down) {
    int32_t start = begin;
    for (int32_t k = lo; k <= hi; ++k) {
      const int32_t taken = k < hi ? BlockLength(record(k + 1)) : length;
      record(k).firstLine = start;
      start += taken;
      record(k).lastLine = start - 1;
    }
  } else {
    int32_t stop = end;
    for (int32_t k = hi; k >= lo; --k) {
      const int32_t taken = k > lo ? BlockLength(record(k - 1)) : length;
      record(k).lastLine = stop - 1;
      stop -= taken;
      record(k).firstLine = stop;
    }
  }
}

ToviBool Move(SourceDocument& doc, HWND list, int32_t from, int32_t to) {
  const int32_t lo = std::min(from, to);
  const int32_t hi = std::max(from, to);
  if (!doc.problem.empty() || from == to || lo < 0 || hi > doc.lastFunction ||
      static_cast<size_t>(hi) >= doc.functions.size() ||
      hi >= ToviListBox_GetCount(list) || !BlocksInOneRun(doc, lo, hi)) {
    return kFalse;
  }
  const std::vector<int32_t> selection{to};
  // Record i must keep describing entry i: the document follows the list
  // only once the list has moved.
  if (!MoveListEntry(list, from, to)) return kFalse;
  RotateFunctions(doc, from, to);
  SelectEntries(list, selection);
  return kTrue;
}

std::vector<int32_t> Inverse(const std::vector<int32_t>& order) {
  std::vector<int32_t> inverse(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    inverse[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
  }
  return inverse;
}

ToviBool Make(SourceDocument& doc, HWND list, const MoveStep& step,
              bool backwards) {
  if (!step.order.empty()) {
    return ArrangeFunctions(doc, list,
                            backwards ? Inverse(step.order) : step.order);
  }
  return backwards ? Move(doc, list, step.to, step.from)
                   : Move(doc, list, step.from, step.to);
}

// Takes the last step off `from`, makes it (backwards for an undo) and puts
// it on `to`; a step that cannot be made stays where it was.
ToviBool Replay(SourceDocument& doc, HWND list, std::vector<MoveStep>& from,
                std::vector<MoveStep>& to, bool backwards) {
  try {
    if (from.empty()) return kFalse;
    // Room first: a step made must land on the other stack.
    MakeRoomForStep(to);
    if (Make(doc, list, from.back(), backwards) != kTrue) return kFalse;
    to.push_back(std::move(from.back()));
    from.pop_back();
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

}  // namespace

bool BlocksInOneRun(const SourceDocument& doc, int32_t lo, int32_t hi) {
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

ToviBool MoveFunction(SourceDocument& doc, HWND list, int32_t from,
                      int32_t to) {
  try {
    MakeRoomForStep(doc.history.undo);
    if (Move(doc, list, from, to) != kTrue) return kFalse;
    RecordStep(doc, {from, to, {}});
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

void RecordMove(SourceDocument& doc, int32_t from, int32_t to) {
  MakeRoomForStep(doc.history.undo);
  RecordStep(doc, {from, to, {}});
}

void MakeRoomForStep(std::vector<MoveStep>& steps) {
  // Doubling keeps a long session's history linear in its steps.
  if (steps.size() == steps.capacity()) {
    steps.reserve(std::max<size_t>(16, steps.size() * 2));
  }
}

void RecordStep(SourceDocument& doc, MoveStep step) noexcept {
  doc.history.undo.push_back(std::move(step));
  doc.history.redo.clear();
}

ToviBool UndoMove(SourceDocument& doc, HWND list) {
  return Replay(doc, list, doc.history.undo, doc.history.redo, true);
}

ToviBool RedoMove(SourceDocument& doc, HWND list) {
  return Replay(doc, list, doc.history.redo, doc.history.undo, false);
}
