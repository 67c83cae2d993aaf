// Tooltips: kept as the control's text for tests to read.
#include "toolkit/memory/backend.h"

namespace tovi::memory {

std::string ToolTip(HWND control) {
  HWND found = Find(control);
  return found == nullptr ? std::string() : found->toolTip;
}

}  // namespace tovi::memory

void ToviSetToolTip(HWND control, const std::string& text) {
  HWND found = tovi::memory::Find(control);
  if (found != nullptr && found->parent != nullptr) found->toolTip = text;
}
