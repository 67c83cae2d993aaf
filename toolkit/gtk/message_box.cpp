// Message boxes: the desktop's own, owned by and modal to their window, with
// the system's icon for their kind. A screen reader announces them as
// alerts under their caption, with their text.
#include "toolkit/gtk/backend.h"

namespace {

struct Kind {
  GtkMessageType type;
  const char* icon;  // the icon theme's name, null for none
};

Kind KindOf(UINT style) {
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      return {GTK_MESSAGE_ERROR, "dialog-error"};
    case 0x20u:
      return {GTK_MESSAGE_QUESTION, "dialog-question"};
    case MB_ICONWARNING:
      return {GTK_MESSAGE_WARNING, "dialog-warning"};
    case 0x40u:
      return {GTK_MESSAGE_INFO, "dialog-information"};
    default:
      return {GTK_MESSAGE_OTHER, nullptr};
  }
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
  // The box takes the pointer, and with it the release of a drag.
  tovi::gtk::CancelDrags();
  // As the system does, a box without a caption is titled "Error".
  const std::string title =
      tovi::gtk::DisplayText(caption == nullptr ? "Error" : caption);
  const std::string message =
      tovi::gtk::DisplayText(text == nullptr ? "" : text);
  const Kind kind = KindOf(style);
  // Only the OK box is offered: the programs show no other kind.
  GtkWidget* box = gtk_message_dialog_new(
      tovi::gtk::OwnerWindow(owner),
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL |
                                  GTK_DIALOG_DESTROY_WITH_PARENT),
      kind.type, GTK_BUTTONS_OK, "%s", message.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  // GTK names the box after its kind ("Warning"); a screen reader should
  // announce the caption the program gave it, as the title bar shows.
  atk_object_set_name(gtk_widget_get_accessible(box), title.c_str());
  // GTK leaves the kind's icon out unless it is asked for.
  if (kind.icon != nullptr) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* image =
        gtk_image_new_from_icon_name(kind.icon, GTK_ICON_SIZE_DIALOG);
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(box), image);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_show(image);
  }
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return IDOK;
}
