// listdrag: a list of 100 entries that the user reorders by dragging.
//
// How the interaction works: pressing the mouse on an entry begins a drag
// of that entry; while the pointer moves, the toolkit asks whether a drop
// there is wanted (not on the dragged entry itself); releasing the button
// on an entry puts the dragged entry in front of it. A drag that begins
// where there is no entry is refused, and a drop where there is none
// changes nothing.
#include "dragdemo/listdrag.h"

#include <cstdlib>

#include "toolkit/tovi.h"

namespace {

HWND mainWindow = nullptr;
// The position of the entry being dragged; -1 when no drag is under way.
int32_t dragItem = 0;

HWND DragList() {
  return GetDlgItem(mainWindow, kDragList);
}

bool IsEntry(HWND list, int32_t position) {
  return position >= 0 && position < ToviListBox_GetCount(list);
}

// Puts the dragged entry in front of the entry at `item`.
void MoveDraggedEntry(int32_t item) {
  HWND list = DragList();
  // A stale or impossible drag must never read or remove outside the list.
  if (!IsEntry(list, dragItem) || !IsEntry(list, item)) return;
  // Removing the dragged entry shifts the entries below it up by one.
  if (dragItem < item) --item;
  std::string text = ToviListBox_GetItem(list, dragItem);
  ToviListBox_RemoveItem(list, dragItem);
  ToviListBox_AddItem(list, item, text);
  ToviListBox_SetSelection(list, {item});
  ToviListBox_SetCaret(list, item);
}

}  // namespace

std::string NumberText(int32_t n) {
  // Through 64 bits so that the most negative value has a magnitude too.
  int64_t value = n;
  std::string text = value < 0 ? "-" : " ";
  return text + std::to_string(std::llabs(value));
}

int32_t OnDrag(int32_t, int32_t status, int32_t item, int32_t, int32_t) {
  switch (status) {
    case kDragBegin:
      dragItem = item;
      return item < 0 ? kFalse : kTrue;
    case kDragOver:
      return item == dragItem ? kFalse : kTrue;
    case kDragDrop:
      if (item == -1) {
        dragItem = -1;
        return kTrue;
      }
      MoveDraggedEntry(item);
      dragItem = -1;
      return kFalse;
    default:
      return kFalse;
  }
}

int32_t BuildWindow() {
  mainWindow = ToviNewWindow(nullptr, "Listbox dragging demo", -1, -1, 400, 300,
                             0, 0, nullptr, 0);
  HWND list = ToviAddListBox(mainWindow, 0, 0, kDragList);
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 1, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviListBox_EnableDragging(DragList());
  for (int32_t i = 1; i <= 100; ++i) {
    ToviListBox_AddItem(list, -1, "Item " + NumberText(i));
  }
  ToviRegOnDrag(mainWindow, OnDrag);
  ToviDisplay(mainWindow);
  return 0;
}

int RunListdrag() {
  // The drag list lives in the system's common controls.
  LoadLibraryA("comctl32.dll");
  if (Tovi() != 0) return 1;
  dragItem = 0;
  BuildWindow();
  int32_t exitCode = ToviDoEvents(0);
  mainWindow = nullptr;
  return exitCode;
}
