// kalvane's mouse and keyboard gestures beyond the buttons.
//
// Dragging in the function list: pressing on a function begins a drag (not
// in a file that refuses moves); releasing it on another function puts it in
// front of that one, and releasing it below the last function makes it the
// last. The insertion mark shows only where a drop moves something, so not
// on the function itself nor on the one just below it; a drop elsewhere, or
// outside the list, changes nothing. The function stays selected throughout.
//
// Keys: Alt+Up and Alt+Down are the Up and Down buttons, Ctrl+O and Ctrl+S
// Load and Save, each only while its button is enabled; Ctrl+Z undoes the
// last move, Ctrl+Y and Ctrl+Shift+Z redo it.
//
// A drag remembers the position it began at, which is right only while the
// list stays as it was. So any command or key ends a drag, as does the
// toolkit cancelling it: a shortcut pressed mid-drag (an undo, a Load) would
// otherwise have the drop move whatever function now stands there.
#include "reorderer/kalvane.h"
#include "reorderer/state.h"

namespace {

// The position of the function being dragged; -1 when no drag is under way.
int32_t dragged = -1;

// Where a drop at `item` puts the dragged function; -1 when it changes
// nothing. `item` is the number of entries for a drop below the last one.
int32_t DropPlace(int32_t item, bool belowLast) {
  const int32_t count = ToviListBox_GetCount(kalvane::FunctionList());
  if (dragged < 0 || dragged >= count) return -1;
  if (belowLast) return dragged == count - 1 ? -1 : count - 1;
  if (item < 0 || item >= count || item == dragged || item == dragged + 1) {
    return -1;
  }
  // The entries below the dragged one move up once it leaves its place.
  return item < dragged ? item : item - 1;
}

void Drop(int32_t place) {
  if (place >= 0) {
    MoveFunction(kalvane::document, kalvane::FunctionList(), dragged, place);
  }
  dragged = -1;
}

bool Enabled(int32_t id) {
  return id == kLoadButton || kalvane::documentCommands;
}

// Runs the command of button `id` as a press of the button would.
int32_t Command(int32_t id) {
  if (Enabled(id)) OnCommand(id, 0, 0);
  return kTrue;
}

}  // namespace

int32_t OnFunctionDrag(int32_t, int32_t status, int32_t item, int32_t,
                       int32_t) {
  HWND list = kalvane::FunctionList();
  switch (status) {
    case kDragBegin:
      dragged = -1;
      if (!kalvane::document.problem.empty() || item < 0 ||
          item >= ToviListBox_GetCount(list)) {
        return kFalse;
      }
      dragged = item;
      ToviListBox_SetSelection(list, {item});
      return kTrue;
    case kDragOver:
    case kDragOverEnd:
      return DropPlace(item, status == kDragOverEnd) >= 0 ? kTrue : kFalse;
    case kDragDrop:
    case kDragDropEnd:
      Drop(DropPlace(item, status == kDragDropEnd));
      return kFalse;
    case kDragCancel:
      EndFunctionDrag();
      return kFalse;
    default:
      return kFalse;
  }
}

void EndFunctionDrag() {
  dragged = -1;
}

int32_t OnKey(int32_t key, int32_t modifiers) {
  EndFunctionDrag();
  HWND list = kalvane::FunctionList();
  if (modifiers == kKeyAlt && key == kKeyUp) return Command(kUpButton);
  if (modifiers == kKeyAlt && key == kKeyDown) return Command(kDownButton);
  if (modifiers == kKeyCtrl && key == 'O') return Command(kLoadButton);
  if (modifiers == kKeyCtrl && key == 'S') return Command(kSaveButton);
  if (modifiers == kKeyCtrl && key == 'Z') {
    UndoMove(kalvane::document, list);
    return kTrue;
  }
  if ((modifiers == kKeyCtrl && key == 'Y') ||
      (modifiers == (kKeyCtrl | kKeyShift) && key == 'Z')) {
    RedoMove(kalvane::document, list);
    return kTrue;
  }
  return kFalse;
}
