// Questions: a message box of the desktop's own, with the program's buttons
// in place of OK, owned by and modal to its window. A screen reader
// announces it as an alert under its caption, with its text and buttons.
#include "toolkit/gtk/backend.h"
#include "toolkit/question_text.h"

int32_t ToviDialog_Ask(HWND owner, const std::string& caption,
                       const std::string& text,
                       const std::vector<std::string>& buttons,
                       int32_t defaultButton, int32_t cancelButton) {
  // The box takes the pointer, and with it the release of a drag.
  tovi::gtk::CancelDrags();
  const std::string title = tovi::gtk::DisplayText(caption);
  const tovi::QuestionText parts = tovi::SplitQuestionText(text);
  const std::string headline = tovi::gtk::DisplayText(parts.headline);
  GtkWidget* box = gtk_message_dialog_new(
      tovi::gtk::OwnerWindow(owner),
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL |
                                  GTK_DIALOG_DESTROY_WITH_PARENT),
      GTK_MESSAGE_WARNING, GTK_BUTTONS_NONE, "%s", headline.c_str());
  // The headline is set in bold above the explanation, as the desktop's own
  // questions are.
  if (!parts.explanation.empty()) {
    gtk_message_dialog_format_secondary_text(
        GTK_MESSAGE_DIALOG(box), "%s",
        tovi::gtk::DisplayText(parts.explanation).c_str());
  }
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  atk_object_set_name(gtk_widget_get_accessible(box), title.c_str());
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkWidget* image =
      gtk_image_new_from_icon_name("dialog-warning", GTK_ICON_SIZE_DIALOG);
  gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(box), image);
  G_GNUC_END_IGNORE_DEPRECATIONS
  gtk_widget_show(image);
  // Each button answers with its position; the captions are shown as
  // given, an underscore included.
  for (size_t i = 0; i < buttons.size(); ++i) {
    GtkWidget* button = gtk_dialog_add_button(
        GTK_DIALOG(box), tovi::gtk::DisplayText(buttons[i]).c_str(),
        static_cast<gint>(i));
    gtk_button_set_use_underline(GTK_BUTTON(button), FALSE);
  }
  gtk_dialog_set_default_response(GTK_DIALOG(box), defaultButton);
  if (GtkWidget* preferred =
          gtk_dialog_get_widget_for_response(GTK_DIALOG(box), defaultButton)) {
    gtk_widget_grab_focus(preferred);
  }
  const gint response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  // Escape and the close button give no button's position.
  if (response < 0 || response >= static_cast<gint>(buttons.size())) {
    return cancelButton;
  }
  return response;
}
