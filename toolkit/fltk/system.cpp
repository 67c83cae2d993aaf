// The system calls the programs make directly, over this backend's records.
#include "toolkit/fltk/backend.h"

HWND GetDlgItem(HWND window, int id) {
  HWND found = tovi::fltk::Find(window, RecordKind::kWindow);
  if (found == nullptr) return nullptr;
  for (HWND control : found->controls) {
    if (control->id == id) return control;
  }
  return nullptr;
}

BOOL EnableWindow(HWND control, BOOL enable) {
  HWND found = tovi::fltk::Find(control);
  if (found == nullptr) return 0;
  const bool wasDisabled = found->widget->active() == 0;
  // An inactive FLTK widget is greyed out and takes neither clicks nor the
  // keyboard focus.
  if (enable != 0) {
    found->widget->activate();
  } else {
    found->widget->deactivate();
  }
  return wasDisabled ? 1 : 0;
}

HMODULE GetModuleHandleA(const char* name) {
  static HINSTANCE__ program;
  return name == nullptr ? &program : nullptr;
}
