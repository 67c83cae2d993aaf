// Tooltips: GTK shows a widget's tooltip itself once the pointer rests on
// it, and a screen reader reads it as the control's description.
#include "toolkit/gtk/backend.h"

void ToviSetToolTip(HWND control, const std::string& text) {
  HWND found = tovi::gtk::Find(control);
  if (found == nullptr || found->parent == nullptr) return;
  // GTK keeps its own copy; an empty text shows nothing.
  const std::string shown = tovi::gtk::DisplayText(text);
  gtk_widget_set_tooltip_text(found->widget,
                              shown.empty() ? nullptr : shown.c_str());
}
