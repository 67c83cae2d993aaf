// Push buttons: they issue their identifier when pressed by the mouse, or by
// Space or Enter while focused. A screen reader announces them as push
// buttons by their captions, which GTK takes from the label.
#include "toolkit/gtk/backend.h"

HWND ToviAddButton(HWND parent, const std::string& caption, int32_t /*style*/,
                   int32_t id) {
  HWND window = tovi::gtk::Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  const std::string shown = tovi::gtk::DisplayText(caption);
  GtkWidget* button = gtk_button_new_with_label(shown.c_str());
  HWND record = tovi::gtk::NewRecord(RecordKind::kButton, window, id, button);
  g_signal_connect(button, "clicked",
                   G_CALLBACK(+[](GtkButton*, gpointer data) {
                     tovi::gtk::IssueCommand(static_cast<HWND>(data), 0);
                   }),
                   record);
  return record;
}
