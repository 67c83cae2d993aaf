// Dragging a list entry as a mouse would: begin on `from`, pass over every
// position on the way to `to`, drop on `to`. The handler is the one
// registered for the list's window; the pointer coordinates passed are 0, 0.
//
// No drag takes place (the outcome is all zeros and empty, as when the
// handler refuses the begin) when the list does not allow dragging, is
// disabled, its window has no drag handler, or `from` or `to` is neither an
// entry nor -1 (the pointer can only be over an entry or over none).
#include <utility>

#include "toolkit/handler_call.h"
#include "toolkit/memory/backend.h"

namespace tovi::memory {
namespace {

bool IsPointerPosition(HWND list, int32_t position) {
  return position >= -1 && position < list->entries.Count();
}

// The positions the pointer passes over, `from` first and `to` last. From or
// to no entry (-1), the pointer is over `from` alone before the drop.
std::vector<int32_t> Path(int32_t from, int32_t to) {
  std::vector<int32_t> path{from};
  if (from == -1 || to == -1) return path;
  int32_t step = from < to ? 1 : -1;
  for (int32_t position = from; position != to;) {
    position += step;
    path.push_back(position);
  }
  return path;
}

// `toEnd`: the pointer goes on below the last entry and drops there.
DragOutcome DragWith(HWND list, int32_t from, int32_t to, bool toEnd) {
  DragOutcome outcome{0, {}, 0};
  HWND found = Find(list, RecordKind::kList);
  if (found == nullptr || !found->dragging || !found->enabled ||
      !IsPointerPosition(found, from) || !IsPointerPosition(found, to)) {
    return outcome;
  }
  ToviDragHandler handler = found->parent->onDrag;
  if (handler == nullptr) return outcome;
  int32_t id = found->id;
  outcome.beginResult = CallHandler(handler, id, kDragBegin, from, 0, 0);
  if (outcome.beginResult == 0) return outcome;
  for (int32_t position : Path(from, to)) {
    outcome.overResults.push_back(
        CallHandler(handler, id, kDragOver, position, 0, 0));
  }
  if (!toEnd) {
    outcome.dropResult = CallHandler(handler, id, kDragDrop, to, 0, 0);
    return outcome;
  }
  const int32_t end = found->entries.Count();
  outcome.overResults.push_back(
      CallHandler(handler, id, kDragOverEnd, end, 0, 0));
  outcome.dropResult = CallHandler(handler, id, kDragDropEnd, end, 0, 0);
  return outcome;
}

}  // namespace

DragOutcome Drag(HWND list, int32_t from, int32_t to) {
  return DragWith(list, from, to, false);
}

DragOutcome DragToEnd(HWND list, int32_t from) {
  HWND found = Find(list, RecordKind::kList);
  if (found == nullptr || from < 0) return DragOutcome{0, {}, 0};
  return DragWith(list, from, found->entries.Count() - 1, true);
}

}  // namespace tovi::memory
