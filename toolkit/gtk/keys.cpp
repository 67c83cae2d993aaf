// Keyboard shortcuts: a key pressed with Ctrl or Alt in a toolkit window
// (and F3, F10 and Menu alone) goes to the window's key handler before the
// focused control sees it, so a list does not also take Alt+Down as a plain
// Down.
//
// With a second keyboard layout in use (Cyrillic or Greek, say) the key
// that writes Z in the Latin layout arrives as a letter of that layout, yet
// users still press Ctrl+Z there to undo. So a key that is none of ours is
// read as what the same physical key is in the other layouts, as the
// desktop's own menus do.
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

// The key the physical key of `event` is in a layout other than the one in
// use, at its first level; -1 when it is none of ours in any of them.
int32_t KeyInOtherLayouts(const GdkEventKey& event) {
  GdkDisplay* display = event.window != nullptr
                            ? gdk_window_get_display(event.window)
                            : gdk_display_get_default();
  GdkKeymapKey* keys = nullptr;
  guint* keyvals = nullptr;
  gint count = 0;
  if (display == nullptr ||
      !gdk_keymap_get_entries_for_keycode(gdk_keymap_get_for_display(display),
                                          event.hardware_keycode, &keys,
                                          &keyvals, &count)) {
    return -1;
  }
  int32_t key = -1;
  for (gint i = 0; i < count && key < 0; ++i) {
    if (keys[i].group != event.group && keys[i].level == 0) {
      key = KeyOf(keyvals[i]);
    }
  }
  g_free(keys);
  g_free(keyvals);
  return key;
}

}  // namespace

bool OfferKey(HWND window, const GdkEventKey& event) {
  int32_t modifiers = 0;
  if ((event.state & GDK_CONTROL_MASK) != 0) modifiers |= kKeyCtrl;
  if ((event.state & GDK_SHIFT_MASK) != 0) modifiers |= kKeyShift;
  if ((event.state & GDK_MOD1_MASK) != 0) modifiers |= kKeyAlt;
  if (window->onKey == nullptr) return false;
  int32_t key = KeyOf(event.keyval);
  // Shortcuts only: a plain letter typed in another layout stays its own.
  if (key < 0 && (modifiers & (kKeyCtrl | kKeyAlt)) != 0) {
    key = KeyInOtherLayouts(event);
  }
  if (!ToviKeyIsOffered(key, modifiers)) return false;
  return tovi::CallHandler(window->onKey, key, modifiers) != 0;
}

}  // namespace tovi::gtk

void ToviRegOnKey(HWND window, ToviKeyHandler handler) {
  if (HWND found = tovi::gtk::Find(window, RecordKind::kWindow)) {
    found->onKey = handler;
  }
}
