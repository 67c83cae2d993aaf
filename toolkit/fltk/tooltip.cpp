// Tooltips: FLTK shows a widget's tooltip itself once the pointer rests on
// it.
#include "toolkit/fltk/backend.h"

void ToviSetToolTip(HWND control, const std::string& text) {
  HWND found = tovi::fltk::Find(control);
  if (found == nullptr || found->parent == nullptr) return;
  // FLTK keeps its own copy; an empty text shows nothing.
  found->widget->copy_tooltip(text.empty() ? nullptr : text.c_str());
}
