// Push buttons: a click issues the button's command to its window's handler,
// but only while the button is enabled, as a disabled native button ignores
// the mouse.
#include "toolkit/handler_call.h"
#include "toolkit/memory/backend.h"

using tovi::memory::Find;
using tovi::memory::RecordKind;

HWND ToviAddButton(HWND parent, const std::string& caption, int32_t /*style*/,
                   int32_t id) {
  HWND window = Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  return tovi::memory::NewRecord(RecordKind::kButton, window, id, caption);
}

namespace tovi::memory {

// The command's two further values are those of a native button click:
// notification code 0 (BN_CLICKED) and no extra value.
bool Click(HWND window, int32_t id) {
  HWND button = Find(GetDlgItem(window, id), RecordKind::kButton);
  if (button == nullptr || !button->enabled) return false;
  ToviCommandHandler handler = button->parent->onCommand;
  if (handler == nullptr) return false;
  CallHandler(handler, id, 0, 0);
  return true;
}

}  // namespace tovi::memory
