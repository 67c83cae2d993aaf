// Keyboard shortcuts: a key pressed with Ctrl or Alt (and F3, F10, Menu) goes
// to the window's key handler, as on the real backends, where it comes before
// the control with the focus. Any key ends a drag that holds the button.
#include "toolkit/handler_call.h"
#include "toolkit/memory/backend.h"

namespace tovi::memory {

bool PressKey(HWND window, int32_t key, int32_t modifiers) {
  CancelHeldDrag();
  HWND found = Find(window, RecordKind::kWindow);
  if (found == nullptr || found->onKey == nullptr ||
      !ToviKeyIsOffered(key, modifiers)) {
    return false;
  }
  return CallHandler(found->onKey, key, modifiers) != 0;
}

}  // namespace tovi::memory

void ToviRegOnKey(HWND window, ToviKeyHandler handler) {
  using namespace tovi::memory;
  if (HWND found = Find(window, RecordKind::kWindow)) found->onKey = handler;
}
