// Context menus: the system's popup menu, and the right-click that asks for
// one.
#include <windowsx.h>

#include "toolkit/handler_call.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

// Where a menu asked for from the keyboard opens: below the selected entry
// of a list, else at the control's top left corner; in screen coordinates.
POINT KeyboardMenuPoint(HWND control) {
  POINT point{0, 0};
  if (IsList(control)) {
    const LRESULT selected = SendMessageW(control, LB_GETCURSEL, 0, 0);
    RECT entry;
    if (selected >= 0 &&
        SendMessageW(control, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                     reinterpret_cast<LPARAM>(&entry)) != LB_ERR) {
      point = POINT{entry.left + (entry.bottom - entry.top), entry.bottom};
    }
  }
  ClientToScreen(control, &point);
  return point;
}

}  // namespace

void OnContextMenuMessage(HWND window, const WindowState& state, HWND control,
                          LPARAM point) {
  // Shift+F10 and the Menu key reach the program as keys (see keys.cpp);
  // only what the mouse asks for is handled here.
  if (state.onContextMenu == nullptr || point == -1 || control == nullptr ||
      GetParent(control) != window) {
    return;
  }
  const int32_t id = GetDlgCtrlID(control);
  if (IsList(control)) {
    POINT client{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ScreenToClient(control, &client);
    const LRESULT hit = SendMessageW(control, LB_ITEMFROMPOINT, 0,
                                     MAKELPARAM(client.x, client.y));
    // The high word is set when the point lies below the last entry.
    const int32_t entry = HIWORD(hit) == 0 ? LOWORD(hit) : -1;
    if (entry >= 0 && SendMessageW(control, LB_GETCURSEL, 0, 0) != entry) {
      SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
      // As a left click's change would be, the program is told.
      if (state.onCommand != nullptr) {
        tovi::CallHandler(state.onCommand, id, LBN_SELCHANGE, 0);
      }
    }
  }
  tovi::CallHandler(state.onContextMenu, id);
}

}  // namespace tovi::win32

void ToviRegOnContextMenu(HWND window, ToviContextMenuHandler handler) {
  if (auto* state = tovi::win32::StateOf(window)) {
    state->onContextMenu = handler;
  }
}

void ToviPopupMenu(HWND control, const std::vector<ToviMenuItem>& items,
                   ToviBool atPointer) {
  using namespace tovi::win32;
  HWND window = GetParent(control);
  if (StateOf(window) == nullptr || items.empty()) return;
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  for (const ToviMenuItem& item : items) {
    const UINT flags = MF_STRING | (item.enabled != kFalse ? 0u : MF_GRAYED);
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.id),
                Widen(item.text).c_str());
  }
  POINT point = KeyboardMenuPoint(control);
  if (atPointer != kFalse) GetCursorPos(&point);
  // The choice comes back here rather than as WM_COMMAND, so it goes to
  // the handler as an item's command and never as a control's.
  const BOOL chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                     point.x, point.y, 0, window, nullptr);
  DestroyMenu(menu);
  const WindowState* state = StateOf(window);
  if (chosen != 0 && state != nullptr && state->onCommand != nullptr) {
    tovi::CallHandler(state->onCommand, static_cast<int32_t>(chosen), 0, 0);
  }
}
