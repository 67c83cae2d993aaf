// Keyboard shortcuts: keys pressed with Ctrl or Alt go to the window's key
// handler before the control that has the focus sees them.
#include "toolkit/handler_call.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

// The toolkit's key for a virtual key; -1 for keys not passed on.
int32_t KeyOf(WPARAM key) {
  if (key == VK_UP) return kKeyUp;
  if (key == VK_DOWN) return kKeyDown;
  if (key >= 'A' && key <= 'Z') return static_cast<int32_t>(key);
  return -1;
}

bool IsModifier(WPARAM key) {
  return key == VK_CONTROL || key == VK_SHIFT || key == VK_MENU ||
         key == VK_LWIN || key == VK_RWIN;
}

int32_t HeldModifiers() {
  int32_t modifiers = 0;
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= kKeyCtrl;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= kKeyShift;
  if (GetKeyState(VK_MENU) < 0) modifiers |= kKeyAlt;
  return modifiers;
}

// Set when a shortcut with Alt was used. Releasing Alt after a key the
// window never saw would read as Alt pressed alone, which opens the window
// menu, so that release is kept from the window.
bool altShortcutUsed = false;

}  // namespace

bool OfferKey(const MSG& message) {
  if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
      message.wParam == VK_MENU && altShortcutUsed) {
    altShortcutUsed = false;
    return true;
  }
  // With Alt held a key arrives as a system key.
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
    return false;
  }
  WindowState* state = StateOf(GetAncestor(message.hwnd, GA_ROOT));
  // Holding a modifier down is part of a drag's gesture; any other key
  // ends the drag.
  if (state != nullptr && !IsModifier(message.wParam)) CancelDrag(*state);
  const int32_t key = KeyOf(message.wParam);
  if (state == nullptr || state->onKey == nullptr || key < 0) return false;
  const int32_t modifiers = HeldModifiers();
  if ((modifiers & (kKeyCtrl | kKeyAlt)) == 0) return false;
  if (tovi::CallHandler(state->onKey, key, modifiers) == 0) return false;
  altShortcutUsed = (modifiers & kKeyAlt) != 0;
  return true;
}

}  // namespace tovi::win32

void ToviRegOnKey(HWND window, ToviKeyHandler handler) {
  if (auto* state = tovi::win32::StateOf(window)) state->onKey = handler;
}
