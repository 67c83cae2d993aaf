// Keyboard shortcuts: FLTK offers a key to the focused widget first, and a
// list would take Alt+Down as a plain Down. Every event therefore passes
// here on its way to its window; keys pressed with Ctrl or Alt in a toolkit
// window go to that window's key handler first.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "toolkit/fltk/backend.h"
#include "toolkit/handler_call.h"

namespace tovi::fltk {
namespace {

// The toolkit's key for FLTK's; -1 for keys not passed on.
int32_t KeyOf(int key) {
  if (key == FL_Up) return kKeyUp;
  if (key == FL_Down) return kKeyDown;
  if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
  return -1;
}

int32_t HeldModifiers() {
  int32_t modifiers = 0;
  if (Fl::event_state(FL_CTRL)) modifiers |= kKeyCtrl;
  if (Fl::event_state(FL_SHIFT)) modifiers |= kKeyShift;
  if (Fl::event_state(FL_ALT)) modifiers |= kKeyAlt;
  return modifiers;
}

// The toolkit window record of `window`; null for a box or dialog.
HWND RecordOf(const Fl_Window* window) {
  for (HWND record : Windows()) {
    if (record->widget == window) return record;
  }
  return nullptr;
}

bool OfferKey(Fl_Window* window) {
  HWND record = RecordOf(window);
  const int32_t key = KeyOf(Fl::event_key());
  const int32_t modifiers = HeldModifiers();
  if (record == nullptr || record->onKey == nullptr || key < 0 ||
      (modifiers & (kKeyCtrl | kKeyAlt)) == 0) {
    return false;
  }
  return tovi::CallHandler(record->onKey, key, modifiers) != 0;
}

int Dispatch(int event, Fl_Window* window) {
  if (event == FL_KEYBOARD && OfferKey(window)) return 1;
  return Fl::handle_(event, window);
}

}  // namespace

void StartKeyHandling() {
  Fl::event_dispatch(Dispatch);
}

}  // namespace tovi::fltk

void ToviRegOnKey(HWND window, ToviKeyHandler handler) {
  using namespace tovi::fltk;
  if (HWND found = Find(window, RecordKind::kWindow)) found->onKey = handler;
}
