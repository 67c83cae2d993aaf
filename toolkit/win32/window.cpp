// Top-level windows: creation, the window procedure, layout on resize,
// handlers, keyboard focus and display.
#include <vector>

#include "toolkit/handler_call.h"
#include "toolkit/series_layout.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {

WindowState* StateOf(HWND window) {
  if (!HasClass(window, kWindowClass)) return nullptr;
  return reinterpret_cast<WindowState*>(
      GetWindowLongPtrW(window, GWLP_USERDATA));
}

void ApplyLayout(HWND window) {
  RECT client;
  if (!GetClientRect(window, &client)) return;
  const WindowState* state = StateOf(window);
  if (state == nullptr) return;
  std::vector<Placement> placements;
  int controlsWidth = client.right;
  if (state->docked != nullptr) {
    placements.push_back(DockedPlacement(state->docked, client.right,
                                         client.bottom, state->dpi));
    controlsWidth = placements.back().bounds.x - Scaled(kDockGap, state->dpi);
  }
  const std::vector<Placement> controls =
      LayoutWindow(window, controlsWidth, client.bottom,
                   static_cast<double>(state->dpi) / kLogicalDpi);
  placements.insert(placements.end(), controls.begin(), controls.end());
  // All controls move in one step, so none is drawn at its old place next
  // to another at its new one.
  HDWP moves = BeginDeferWindowPos(static_cast<int>(placements.size()));
  for (const Placement& placed : placements) {
    if (moves == nullptr) return;
    moves = DeferWindowPos(moves, placed.control, nullptr, placed.bounds.x,
                           placed.bounds.y, placed.bounds.width,
                           placed.bounds.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves != nullptr) EndDeferWindowPos(moves);
}

namespace {

// Commands a user gives through a control. Other notifications (focus
// changes) and the commands the dialog interface makes up for Enter and
// Escape, which carry no control of ours, are not commands.
bool IsUserCommand(HWND window, HWND control, WORD code) {
  if (control == nullptr || GetParent(control) != window) return false;
  if (IsButton(control)) return code == BN_CLICKED;
  if (IsList(control)) return code == LBN_SELCHANGE || code == LBN_DBLCLK;
  return false;
}

void OnCommand(HWND window, const WindowState& state, WPARAM wParam,
               LPARAM lParam) {
  HWND control = reinterpret_cast<HWND>(lParam);
  WORD code = HIWORD(wParam);
  if (state.onCommand == nullptr || !IsUserCommand(window, control, code)) {
    return;
  }
  // The control's own identifier: the command's low word holds only 16 bits.
  tovi::CallHandler(state.onCommand, GetDlgCtrlID(control), code, 0);
}

// Where the keyboard focus goes when the window gets it: back to the control
// that had it, else to the first control that takes Tab.
void RestoreFocus(HWND window, WindowState& state) {
  HWND target = state.lastFocus;
  if (target == nullptr || !IsChild(window, target) ||
      !IsWindowEnabled(target)) {
    target = GetNextDlgTabItem(window, nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

// The window moved to a monitor of another DPI, or the monitor's DPI
// changed: its controls get a font for the new DPI, and the window the size
// the system suggests, which keeps its logical size; the layout follows.
void OnDpiChanged(HWND window, WindowState& state, UINT dpi, LPARAM suggested) {
  state.dpi = dpi;
  HFONT old = state.font;
  state.font = CreateMessageFont(dpi);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == old) {
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(state.font),
                   TRUE);
    }
    // Only the latest systems tell the controls of the new DPI themselves;
    // a docked text window's control sets its own font by it.
    SendMessageW(child, WM_DPICHANGED_AFTERPARENT, 0, 0);
  }
  if (old != nullptr) DeleteObject(old);
  MoveToSuggestedRect(window, suggested);
  ApplyLayout(window);
}

void OnDestroy() {
  Toolkit& toolkit = TheToolkit();
  if (--toolkit.liveWindows == 0) PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new WindowState));
    ++TheToolkit().liveWindows;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* state =
      reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == TheToolkit().dragListMessage) {
    return OnDragListMessage(window, *state,
                             *reinterpret_cast<DRAGLISTINFO*>(lParam));
  }
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) ApplyLayout(window);
      return 0;
    case WM_COMMAND:
      OnCommand(window, *state, wParam, lParam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(window, *state, HIWORD(wParam), lParam);
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenuMessage(window, *state, reinterpret_cast<HWND>(wParam),
                           lParam);
      return 0;
    case DM_GETDEFID:
      return DefaultButtonAnswer(window);
    case kResumeRedrawMessage:
      ResumeRedraw(window, *state);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (IsChild(window, focus)) state->lastFocus = focus;
      }
      break;
    case WM_SETFOCUS:
      RestoreFocus(window, *state);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (state->font != nullptr) DeleteObject(state->font);
      delete state;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tovi::win32

using tovi::win32::StateOf;

HWND ToviNewWindow(HWND parent, const std::string& title, int32_t x, int32_t y,
                   int32_t width, int32_t height, int32_t style,
                   int32_t exStyle, HICON icon, int32_t /*reserved*/) {
  using namespace tovi::win32;
  if (TheToolkit().instance == nullptr) return nullptr;
  // Without a style of its own the window is the usual resizable one.
  // Children are left out of its painting so the list does not flicker.
  DWORD windowStyle =
      (style != 0 ? static_cast<DWORD>(style) : WS_OVERLAPPEDWINDOW) |
      WS_CLIPCHILDREN;
  DWORD windowExStyle = static_cast<DWORD>(exStyle);
  const bool defaultPlace = x == -1 && y == -1;
  // Made at no size: its monitor, and so its DPI, is known only once it is.
  HWND window = CreateWindowExW(
      windowExStyle, kWindowClass, Widen(title).c_str(), windowStyle,
      defaultPlace ? CW_USEDEFAULT : x, defaultPlace ? CW_USEDEFAULT : y, 0, 0,
      parent, nullptr, TheToolkit().instance, nullptr);
  if (window == nullptr) return nullptr;
  WindowState& state = *StateOf(window);
  state.dpi = DpiOf(window);
  state.font = CreateMessageFont(state.dpi);
  // The size asked for is the client area's, in logical pixels; the frame
  // comes on top.
  SetClientSize(window, width, height);
  if (icon != nullptr) {
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(icon));
  }
  tovi::RegisterLayoutWindow(window);
  return window;
}

void ToviRegOnCommand(HWND window, ToviCommandHandler handler) {
  if (auto* state = StateOf(window)) state->onCommand = handler;
}

void ToviRegOnDrag(HWND window, ToviDragHandler handler) {
  if (auto* state = StateOf(window)) state->onDrag = handler;
}

void ToviEnableDialogInterface(HWND window, ToviBool enable) {
  if (auto* state = StateOf(window)) state->dialogInterface = enable != kFalse;
}

void ToviDisplay(HWND window) {
  if (StateOf(window) == nullptr) return;
  // Controls are usually placed after the window was made and sized.
  tovi::win32::ApplyLayout(window);
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);
}
