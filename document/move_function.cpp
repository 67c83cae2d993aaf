// The one move: any function put at any position in one step, the list
// entry first and the document following. Up, Down, Move to Top and Move to
// Bottom, drags, and the undo and redo of any of them are all this move;
// Up and Down make it through the two halves of exchanging neighbours.
#include <algorithm>
#include <exception>
#include <vector>

#include "document/rearrange.h"
#include "document/source_document.h"

namespace {

int32_t BlockLength(const FunctionRecord& record) {
  return record.lastLine - record.firstLine + 1;
}

// The document's half of a move; the caller has checked MovesAllowed. It
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

// Up and Down: the function at `from` exchanged with its neighbour `to`,
// the list entries first (the list selects the moved function, as after any
// move); then the move is recorded.
void ExchangeWithNeighbour(SourceDocument& doc, HWND list, int32_t from,
                           int32_t to) {
  const int32_t a = std::min(from, to);
  try {
    if (!MovesAllowed(doc, a, a + 1) || a + 1 >= ToviListBox_GetCount(list)) {
      return;
    }
    MakeRoomForStep(doc.history.undo);
    // The function itself moves in the list, not its neighbour, so that a
    // screen reader hears it at its new place.
    if (!MoveListEntry(list, from, to)) return;
    // The document was checked above, so it follows the list.
    ExchangeFunctions(doc, a, a + 1);
    RecordStep(doc, FunctionMove{from, to});
  } catch (const std::exception&) {
    // Only the room can fail, before anything changed.
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

bool MovesAllowed(const SourceDocument& doc, int32_t lo, int32_t hi) {
  return doc.problem.empty() && lo >= 0 && lo < hi && hi <= doc.lastFunction &&
         static_cast<size_t>(hi) < doc.functions.size() &&
         BlocksInOneRun(doc, lo, hi);
}

ToviBool CarryFunction(SourceDocument& doc, HWND list, int32_t from,
                       int32_t to) noexcept {
  const int32_t lo = std::min(from, to);
  const int32_t hi = std::max(from, to);
  try {
    if (!MovesAllowed(doc, lo, hi) || hi >= ToviListBox_GetCount(list)) {
      return kFalse;
    }
    // Record i must keep describing entry i: the document follows the list
    // only once the list has moved, which selects the moved function.
    if (!MoveListEntry(list, from, to)) return kFalse;
    RotateFunctions(doc, from, to);
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

ToviBool MoveFunction(SourceDocument& doc, HWND list, int32_t from,
                      int32_t to) {
  try {
    MakeRoomForStep(doc.history.undo);
    if (CarryFunction(doc, list, from, to) != kTrue) return kFalse;
    RecordStep(doc, FunctionMove{from, to});
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

ToviBool ExchangeFunctions(SourceDocument& doc, int32_t a, int32_t b) {
  if (b != a + 1 || !MovesAllowed(doc, a, b)) return kFalse;
  RotateFunctions(doc, b, a);
  return kTrue;
}

ToviBool ExchangeListEntries(HWND list, int32_t i, int32_t j) {
  const int32_t lo = std::min(i, j);
  const int32_t hi = std::max(i, j);
  if (lo < 0 || hi != lo + 1 || hi >= ToviListBox_GetCount(list)) {
    return kFalse;
  }
  const int32_t selected = SelectedPosition(list);
  if (!MoveListEntry(list, hi, lo)) return kFalse;
  // The move selects the entry it carried; the selection goes back to the
  // entry it was on.
  const int32_t kept = selected == hi ? lo : selected == lo ? hi : selected;
  SelectEntries(list,
                kept < 0 ? std::vector<int32_t>{} : std::vector<int32_t>{kept});
  return kTrue;
}

// The function in position 1 is never moved up, so Up never fills position
// 0; Down on the first function still exchanges the two.
void MoveFunctionUp(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  if (p >= 2) ExchangeWithNeighbour(doc, list, p, p - 1);
}

void MoveFunctionDown(SourceDocument& doc, HWND list) {
  const int32_t p = SelectedPosition(list);
  if (p >= 0 && p < doc.lastFunction) {
    ExchangeWithNeighbour(doc, list, p, p + 1);
  }
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
