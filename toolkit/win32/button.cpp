// Push buttons, and which of them Enter presses.
#include "toolkit/win32/backend.h"

namespace tovi::win32 {

LRESULT DefaultButtonAnswer(HWND window) {
  // Enter presses the push button that has the focus. Anywhere else it must
  // press nothing: answering "no default button" would make the dialog
  // interface send IDOK instead, which is the identifier 1 that one of the
  // program's own buttons may well have. So the answer names an identifier
  // that no control of the window has.
  HWND focus = GetFocus();
  if (IsButton(focus) && GetParent(focus) == window) {
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
  }
  return MAKELRESULT(UnusedControlId(window), DC_HASDEFID);
}

}  // namespace tovi::win32

HWND ToviAddButton(HWND parent, const std::string& caption, int32_t style,
                   int32_t id) {
  return tovi::win32::CreateControl(
      parent, WC_BUTTONW, tovi::win32::Widen(caption),
      static_cast<DWORD>(style) | BS_PUSHBUTTON | WS_TABSTOP, 0, id);
}
