// The toolkit's start, and the system calls the programs make directly,
// over this backend's records.
#include <cerrno>

#include "toolkit/gtk/backend.h"

int32_t Tovi() {
  // The program's name names its windows (their class's instance, and the
  // application on Wayland), so a desktop finds its launcher and icon.
  g_set_prgname(program_invocation_short_name);
  // Without a display GTK cannot start; a non-zero result lets the program
  // end on its own terms.
  if (!gtk_init_check(nullptr, nullptr)) return 1;
  tovi::gtk::AnswerDefunctWhenGone();
  return 0;
}

HWND GetDlgItem(HWND window, int id) {
  HWND found = tovi::gtk::Find(window, RecordKind::kWindow);
  if (found == nullptr) return nullptr;
  for (HWND control : found->controls) {
    if (control->id == id) return control;
  }
  return nullptr;
}

BOOL EnableWindow(HWND control, BOOL enable) {
  HWND found = tovi::gtk::Find(control);
  if (found == nullptr) return 0;
  const bool wasDisabled = !gtk_widget_get_sensitive(found->widget);
  // An insensitive widget is greyed out, takes neither clicks nor the
  // keyboard focus, and tells a screen reader it is unavailable.
  gtk_widget_set_sensitive(found->widget, enable != 0);
  return wasDisabled ? 1 : 0;
}

HMODULE GetModuleHandleA(const char* name) {
  static HINSTANCE__ program;
  return name == nullptr ? &program : nullptr;
}
