// Keyboard shortcuts: a key pressed with Ctrl or Alt in a toolkit window
// goes to the window's key handler before the focused control sees it, so a
// list does not also take Alt+Down as a plain Down.
#include "toolkit/gtk/backend.h"
#include "toolkit/handler_call.h"

namespace tovi::gtk {
namespace {

// The toolkit's key for GTK's; -1 for keys not passed on.
int32_t KeyOf(guint keyval) {
  if (keyval == GDK_KEY_Up || keyval == GDK_KEY_KP_Up) return kKeyUp;
  if (keyval == GDK_KEY_Down || keyval == GDK_KEY_KP_Down) return kKeyDown;
  if (keyval == GDK_KEY_Home || keyval == GDK_KEY_KP_Home) return kKeyHome;
  if (keyval == GDK_KEY_End || keyval == GDK_KEY_KP_End) return kKeyEnd;
  if (keyval == GDK_KEY_F3) return kKeyF3;
  if (keyval == GDK_KEY_F10) return kKeyF10;
  if (keyval == GDK_KEY_Menu) return kKeyMenu;
  const guint upper = gdk_keyval_to_upper(keyval);
  if (upper >= GDK_KEY_A && upper <= GDK_KEY_Z) {
    return static_cast<int32_t>(upper - GDK_KEY_A) + 'A';
  }
  return -1;
}

}  // namespace

bool OfferKey(HWND window, const GdkEventKey& event) {
  int32_t modifiers = 0;
  if ((event.state & GDK_CONTROL_MASK) != 0) modifiers |= kKeyCtrl;
  if ((event.state & GDK_SHIFT_MASK) != 0) modifiers |= kKeyShift;
  if ((event.state & GDK_MOD1_MASK) != 0) modifiers |= kKeyAlt;
  const int32_t key = KeyOf(event.keyval);
  if (window->onKey == nullptr || !ToviKeyIsOffered(key, modifiers)) {
    return false;
  }
  return tovi::CallHandler(window->onKey, key, modifiers) != 0;
}

}  // namespace tovi::gtk

void ToviRegOnKey(HWND window, ToviKeyHandler handler) {
  if (HWND found = tovi::gtk::Find(window, RecordKind::kWindow)) {
    found->onKey = handler;
  }
}
