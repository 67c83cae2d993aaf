// Tooltips: one tooltip control per window, with a tool for each control
// that has a text. The tooltip control watches the mouse over the control
// itself (TTF_SUBCLASS), so nothing has to relay mouse messages to it.
#include "toolkit/win32/backend.h"

void ToviSetToolTip(HWND control, const std::string& text) {
  using namespace tovi::win32;
  HWND window = GetParent(control);
  WindowState* state = StateOf(window);
  if (state == nullptr || !IsWindow(control)) return;
  if (state->toolTips == nullptr) {
    state->toolTips = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
        nullptr, TheToolkit().instance, nullptr);
    if (state->toolTips == nullptr) return;
  }
  // The tooltip control copies the text.
  std::wstring wide = Widen(text);
  TOOLINFOW tool{};
  // The size every version of the common controls accepts.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  SendMessageW(state->toolTips, TTM_DELTOOLW, 0,
               reinterpret_cast<LPARAM>(&tool));
  if (!wide.empty()) {
    SendMessageW(state->toolTips, TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
  }
}
