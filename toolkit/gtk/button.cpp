// Push buttons: they issue their identifier when pressed by the mouse, or by
// Space or Enter while focused. A screen reader announces them as push
// buttons by their captions, which GTK takes from the label.
#include "toolkit/gtk/backend.h"

namespace {

// The theme pads a button to more height than the programs' 25-pixel rows;
// without its padding the caption still fits and the layout is kept.
GtkCssProvider* CompactButtons() {
  static GtkCssProvider* provider = [] {
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(
        css, "button { min-height: 0; padding-top: 0; padding-bottom: 0; }", -1,
        nullptr);
    return css;
  }();
  return provider;
}

}  // namespace

HWND ToviAddButton(HWND parent, const std::string& caption, int32_t /*style*/,
                   int32_t id) {
  HWND window = tovi::gtk::Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  const std::string shown = tovi::gtk::DisplayText(caption);
  GtkWidget* button = gtk_button_new_with_label(shown.c_str());
  gtk_style_context_add_provider(gtk_widget_get_style_context(button),
                                 GTK_STYLE_PROVIDER(CompactButtons()),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  HWND record = tovi::gtk::NewRecord(RecordKind::kButton, window, id, button);
  g_signal_connect(button, "clicked",
                   G_CALLBACK(+[](GtkButton*, gpointer data) {
                     tovi::gtk::IssueCommand(static_cast<HWND>(data), 0);
                   }),
                   record);
  return record;
}
