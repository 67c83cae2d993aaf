// The five system calls the programs make directly, over this backend's
// records.
#include <string_view>

#include "toolkit/memory/backend.h"

using tovi::memory::Find;
using tovi::memory::RecordKind;
using tovi::memory::State;

HWND GetDlgItem(HWND window, int id) {
  HWND found = Find(window, RecordKind::kWindow);
  if (found == nullptr) return nullptr;
  for (HWND control : found->controls) {
    if (control->id == id) return control;
  }
  return nullptr;
}

BOOL EnableWindow(HWND control, BOOL enable) {
  HWND found = Find(control);
  if (found == nullptr) return 0;
  bool wasDisabled = !found->enabled;
  found->enabled = enable != 0;
  return wasDisabled ? 1 : 0;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
  tovi::memory::CancelHeldDrag();
  State().messageBoxes.push_back(
      tovi::memory::MessageBoxRecord{owner, text == nullptr ? "" : text,
                                     caption == nullptr ? "" : caption, style});
  return IDOK;
}

// Every name is a resource here; loading one name twice gives the same
// handle, as the system's shared icons do.
HICON LoadIconA(HINSTANCE /*module*/, const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  auto& icons = State().icons;
  for (const auto& icon : icons) {
    if (icon->name == name) return icon.get();
  }
  icons.push_back(std::make_unique<HICON__>(HICON__{name}));
  return icons.back().get();
}

HMODULE GetModuleHandleA(const char* name) {
  static HINSTANCE__ program;
  return name == nullptr ? &program : nullptr;
}

namespace tovi::memory {

std::string IconResourceName(HICON icon) {
  for (const auto& live : State().icons) {
    if (live.get() == icon) return live->name;
  }
  return std::string();
}

}  // namespace tovi::memory
