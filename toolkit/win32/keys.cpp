// Keyboard shortcuts: keys pressed with Ctrl or Alt, and the few function
// keys the toolkit names, go to the window's key handler before the control
// that has the focus sees them.
#include "toolkit/handler_call.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

// The toolkit's key for a virtual key; -1 for keys not passed on.
int32_t KeyOf(WPARAM key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_F3:
    case VK_F10:
    case VK_APPS:
      // The toolkit's values are these virtual keys'.
      return static_cast<int32_t>(key);
    default:
      break;
  }
  if (key >= 'A' && key <= 'Z') return static_cast<int32_t>(key);
  return -1;
}

bool IsModifier(WPARAM key) {
  return key == VK_CONTROL || key == VK_SHIFT || key == VK_MENU ||
         key == VK_LWIN || key == VK_RWIN;
}

// The toolkit window whose key handler hears keys pressed in `window`: the
// one it is in, or, for a window of the toolkit's that has no handler of
// its own (a text window), the one that owns it.
WindowState* KeyWindowOf(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  if (WindowState* state = StateOf(root)) return state;
  return StateOf(GetWindow(root, GW_OWNER));
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
// The last key a handler used. Its release is kept from the window too:
// released alone, F10 would open the window menu, and the Menu key a
// second context menu.
WPARAM usedKey = 0;

}  // namespace

bool OfferKey(const MSG& message) {
  if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
      message.wParam == VK_MENU && altShortcutUsed) {
    altShortcutUsed = false;
    return true;
  }
  if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
      usedKey != 0 && message.wParam == usedKey) {
    usedKey = 0;
    return true;
  }
  // With Alt held a key arrives as a system key.
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
    return false;
  }
  // Escape closes a text window, as it closes a dialog; its owner takes
  // the keyboard back.
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
      HeldModifiers() == 0 && ToviTextWindow_IsShown(root) == kTrue) {
    ToviTextWindow_Show(root, kFalse);
    SetActiveWindow(GetWindow(root, GW_OWNER));
    usedKey = VK_ESCAPE;
    return true;
  }
  WindowState* state = KeyWindowOf(message.hwnd);
  // Holding a modifier down is part of a drag's gesture; any other key
  // ends the drag.
  if (state != nullptr && !IsModifier(message.wParam)) CancelDrag(*state);
  const int32_t key = KeyOf(message.wParam);
  if (state == nullptr || state->onKey == nullptr || key < 0) return false;
  const int32_t modifiers = HeldModifiers();
  if (!ToviKeyIsOffered(key, modifiers)) return false;
  if (tovi::CallHandler(state->onKey, key, modifiers) == 0) return false;
  altShortcutUsed = (modifiers & kKeyAlt) != 0;
  usedKey = message.wParam;
  return true;
}

}  // namespace tovi::win32

void ToviRegOnKey(HWND window, ToviKeyHandler handler) {
  if (auto* state = tovi::win32::StateOf(window)) state->onKey = handler;
}
