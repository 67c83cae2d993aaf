// Push buttons: they issue their identifier when pressed by the mouse, by
// Space or Enter while focused.
#include <FL/Fl.H>

#include "toolkit/fltk/backend.h"

namespace tovi::fltk {

PushButton::PushButton(int x, int y, int w, int h, const char* label)
    : Fl_Button(x, y, w, h, label) {}

int PushButton::handle(int event) {
  // FLTK's button answers only Space; a dialog's button answers Enter too.
  if (event == FL_KEYBOARD && Fl::focus() == this &&
      (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
      (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == 0) {
    do_callback();
    return 1;
  }
  return Fl_Button::handle(event);
}

}  // namespace tovi::fltk

HWND ToviAddButton(HWND parent, const std::string& caption, int32_t /*style*/,
                   int32_t id) {
  HWND window = tovi::fltk::Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  auto* button = new tovi::fltk::PushButton(0, 0, 0, 0);
  button->copy_label(caption.c_str());
  HWND record = tovi::fltk::NewRecord(RecordKind::kButton, window, id, button);
  button->callback(
      [](Fl_Widget*, void* data) {
        tovi::fltk::IssueCommand(static_cast<HWND>(data), 0);
      },
      record);
  return record;
}
