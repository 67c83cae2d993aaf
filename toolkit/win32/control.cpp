// Making child controls, and telling their kinds apart.
#include "toolkit/win32/backend.h"

namespace tovi::win32 {

bool HasClass(HWND window, const wchar_t* className) {
  // The longest class name the system allows, and the terminating NUL.
  wchar_t name[257];
  return window != nullptr && IsWindow(window) &&
         GetClassNameW(window, name, 257) > 0 &&
         lstrcmpiW(name, className) == 0;
}

WORD UnusedControlId(HWND window) {
  WORD unused = 0xFFFF;
  while (unused > 0 && GetDlgItem(window, unused) != nullptr) --unused;
  return unused;
}

HWND CreateControl(HWND parent, const wchar_t* className,
                   const std::wstring& text, DWORD style, DWORD exStyle,
                   int32_t id) {
  const WindowState* state = StateOf(parent);
  if (state == nullptr) return nullptr;
  // A child window's menu handle is its identifier; GetDlgItem finds it.
  HWND control = CreateWindowExW(
      exStyle, className, text.c_str(), style | WS_CHILD | WS_VISIBLE, 0, 0, 0,
      0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      TheToolkit().instance, nullptr);
  if (control != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state->font),
                 FALSE);
  }
  return control;
}

}  // namespace tovi::win32
