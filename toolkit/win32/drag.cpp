// Dragging list entries: the common controls' drag list does the mouse
// work and asks the list's window through its registered message; here its
// questions go to the program's drag handler, and the insertion mark is
// drawn.
//
// Only a drag the handler accepted and nothing cancelled since reaches it
// with moves and a drop: once a key or a dialog ends a drag (CancelDrag),
// whatever the control still reports of it is ignored.
#include "toolkit/handler_call.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

// The mark is a line across the top of the entry the dragged one would be
// put in front of. It is drawn inside the list, so it shows even when the
// list fills its window, and it is bound to that entry: when the list
// scrolls, the line moves with the entry and is wiped by repainting it.
// The entry whose rectangle holds the mark: the last one for the mark below
// it (item the number of entries).
int32_t MarkedEntry(HWND list, int32_t item) {
  const auto count =
      static_cast<int32_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  return item == count ? count - 1 : item;
}

void EraseMark(WindowState& state) {
  RECT entry;
  if (state.markList != nullptr && IsWindow(state.markList) &&
      SendMessageW(state.markList, LB_GETITEMRECT,
                   MarkedEntry(state.markList, state.markItem),
                   reinterpret_cast<LPARAM>(&entry)) != LB_ERR) {
    InvalidateRect(state.markList, &entry, TRUE);
    UpdateWindow(state.markList);
  }
  state.markList = nullptr;
  state.markItem = -1;
}

// Moves the mark to `item` of `list` (-1: no mark). It is drawn again on
// every call, since the list may have repainted the entry meanwhile.
void ShowMark(WindowState& state, HWND list, int32_t item) {
  if (state.markList != list || state.markItem != item) EraseMark(state);
  RECT entry;
  const int32_t marked = MarkedEntry(list, item);
  if (item < 0 || SendMessageW(list, LB_GETITEMRECT, marked,
                               reinterpret_cast<LPARAM>(&entry)) == LB_ERR) {
    return;
  }
  state.markList = list;
  state.markItem = item;
  // Below the last entry the line runs along that entry's bottom edge.
  const LONG top = marked == item ? entry.top : entry.bottom - 2;
  RECT line{entry.left, top, entry.right, top + 2};
  HDC dc = GetDC(list);
  FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWTEXT));
  ReleaseDC(list, dc);
}

// The number of entries when `screen` lies inside the list below its last
// entry, else -1.
int32_t BelowLastEntry(HWND list, POINT screen) {
  POINT inList = screen;
  ScreenToClient(list, &inList);
  RECT client;
  RECT last;
  const auto count =
      static_cast<int32_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  if (count <= 0 || !GetClientRect(list, &client) ||
      !PtInRect(&client, inList) ||
      SendMessageW(list, LB_GETITEMRECT, count - 1,
                   reinterpret_cast<LPARAM>(&last)) == LB_ERR ||
      inList.y < last.bottom) {
    return -1;
  }
  return count;
}

int32_t Tell(const WindowState& state, HWND list, int32_t status, int32_t item,
             POINT inList) {
  return tovi::CallHandler(state.onDrag, GetDlgCtrlID(list), status, item,
                           inList.x, inList.y);
}

}  // namespace

void CancelDrag(WindowState& state) {
  HWND list = state.dragList;
  if (list == nullptr) return;
  state.dragList = nullptr;
  EraseMark(state);
  // Escape is how a user cancels the control's drag; it answers with a
  // cancel notice, which finds no drag left here.
  SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  if (GetCapture() == list) ReleaseCapture();
  if (state.onDrag != nullptr) Tell(state, list, kDragCancel, -1, POINT{0, 0});
}

LRESULT OnDragListMessage(HWND /*window*/, WindowState& state,
                          const DRAGLISTINFO& info) {
  HWND list = info.hWnd;
  if (state.onDrag == nullptr || !IsList(list)) {
    EraseMark(state);
    return FALSE;
  }
  POINT inList = info.ptCursor;
  ScreenToClient(list, &inList);
  auto tell = [&](int32_t status, int32_t item) {
    return Tell(state, list, status, item, inList);
  };
  if (info.uNotification != DL_BEGINDRAG && state.dragList != list) {
    EraseMark(state);
    return info.uNotification == DL_DRAGGING ? DL_STOPCURSOR : 0;
  }
  switch (info.uNotification) {
    case DL_BEGINDRAG:
      // A zero answer refuses the drag before it starts.
      state.dragList = nullptr;
      if (tell(kDragBegin, LBItemFromPt(list, info.ptCursor, FALSE)) == 0) {
        return FALSE;
      }
      state.dragList = list;
      return TRUE;
    case DL_DRAGGING: {
      // Above or below the list, the list scrolls towards the pointer.
      int32_t item = LBItemFromPt(list, info.ptCursor, TRUE);
      const int32_t end = item < 0 ? BelowLastEntry(list, info.ptCursor) : -1;
      if (end >= 0) item = end;
      bool wanted = tell(end >= 0 ? kDragOverEnd : kDragOver, item) != 0;
      ShowMark(state, list, wanted ? item : -1);
      return wanted ? DL_MOVECURSOR : DL_STOPCURSOR;
    }
    case DL_DROPPED: {
      state.dragList = nullptr;
      EraseMark(state);
      const int32_t item = LBItemFromPt(list, info.ptCursor, FALSE);
      const int32_t end = item < 0 ? BelowLastEntry(list, info.ptCursor) : -1;
      if (end >= 0) {
        tell(kDragDropEnd, end);
      } else {
        tell(kDragDrop, item);
      }
      return 0;
    }
    default:  // DL_CANCELDRAG
      state.dragList = nullptr;
      EraseMark(state);
      tell(kDragCancel, -1);
      return 0;
  }
}

}  // namespace tovi::win32

void ToviListBox_EnableDragging(HWND list) {
  if (tovi::win32::IsList(list)) MakeDragList(list);
}
