// Dragging a list entry as a mouse would: begin on `from`, pass over every
// position on the way to `to`, drop on `to`; in one go (Drag), or with the
// button held in between (PressOn, ReleaseOn), when keys and dialogs can
// come between. The handler is the one registered for the list's window;
// the pointer coordinates passed are 0, 0.
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

// The list a drag may run in: dragging allowed, enabled, with a drag
// handler in its window; null otherwise.
HWND DragList(HWND list) {
  HWND found = Find(list, RecordKind::kList);
  if (found == nullptr || !found->dragging || !found->enabled ||
      found->parent->onDrag == nullptr) {
    return nullptr;
  }
  return found;
}

int32_t Tell(HWND list, int32_t status, int32_t item) {
  return CallHandler(list->parent->onDrag, list->id, status, item, 0, 0);
}

// The pointer moves from `from` over every position up to `to` and, with
// `toEnd`, on below the last entry, where the button is released.
void MoveAndDrop(HWND list, int32_t from, int32_t to, bool toEnd,
                 DragOutcome& outcome) {
  for (int32_t position : Path(from, to)) {
    outcome.overResults.push_back(Tell(list, kDragOver, position));
  }
  if (!toEnd) {
    outcome.dropResult = Tell(list, kDragDrop, to);
    return;
  }
  const int32_t end = list->entries.Count();
  outcome.overResults.push_back(Tell(list, kDragOverEnd, end));
  outcome.dropResult = Tell(list, kDragDropEnd, end);
}

DragOutcome DragWith(HWND list, int32_t from, int32_t to, bool toEnd) {
  DragOutcome outcome{0, {}, 0};
  HWND found = DragList(list);
  if (found == nullptr || !IsPointerPosition(found, from) ||
      !IsPointerPosition(found, to)) {
    return outcome;
  }
  outcome.beginResult = Tell(found, kDragBegin, from);
  if (outcome.beginResult != 0) MoveAndDrop(found, from, to, toEnd, outcome);
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

int32_t PressOn(HWND list, int32_t from) {
  HWND found = DragList(list);
  if (found == nullptr || !IsPointerPosition(found, from)) return 0;
  const int32_t answer = Tell(found, kDragBegin, from);
  if (answer != 0) found->heldFrom = from;
  return answer;
}

DragOutcome ReleaseOn(HWND list, int32_t to) {
  DragOutcome outcome{0, {}, 0};
  HWND found = DragList(list);
  if (found == nullptr || found->heldFrom < 0 ||
      !IsPointerPosition(found, to)) {
    return outcome;
  }
  const int32_t from = std::exchange(found->heldFrom, -1);
  outcome.beginResult = kTrue;
  MoveAndDrop(found, from, to, false, outcome);
  return outcome;
}

void CancelHeldDrag() {
  for (const auto& record : State().records) {
    HWND list = record.get();
    if (list->kind != RecordKind::kList || list->heldFrom < 0) continue;
    list->heldFrom = -1;
    if (list->parent->onDrag != nullptr) Tell(list, kDragCancel, -1);
  }
}

}  // namespace tovi::memory
