// The open and save dialogs: the desktop's own file chooser (its portal when
// there is one, GTK's chooser otherwise), owned by and modal to the window,
// with the programs' file types, initial name and the replace question.
#include <cctype>
#include <filesystem>
#include <system_error>

#include "toolkit/dialog_filter.h"
#include "toolkit/gtk/backend.h"

namespace tovi::gtk {
namespace {

// GTK's patterns tell letter case apart and the programs' do not, so each
// letter becomes a choice of both cases: "*.ost" matches "NOTES.OST" too.
std::string CaselessPattern(std::string_view pattern) {
  std::string out;
  for (char c : pattern) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte) != 0 && byte < 0x80) {
      out += '[';
      out += static_cast<char>(std::tolower(byte));
      out += static_cast<char>(std::toupper(byte));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

void AddPattern(GtkFileFilter* filter, std::string_view pattern) {
  // As on Windows, a pattern ending in ".*" also matches a name without that
  // dot, so "*.*" matches every name.
  if (pattern.ends_with(".*")) {
    const std::string_view stem = pattern.substr(0, pattern.size() - 2);
    gtk_file_filter_add_pattern(filter, CaselessPattern(stem).c_str());
  }
  gtk_file_filter_add_pattern(filter, CaselessPattern(pattern).c_str());
}

void AddFilters(GtkFileChooser* chooser, const std::string& filter) {
  for (const FileFilter& type : ParseDialogFilter(filter)) {
    GtkFileFilter* gtkFilter = gtk_file_filter_new();
    gtk_file_filter_set_name(gtkFilter, DisplayText(type.description).c_str());
    for (const std::string& pattern : type.patterns) {
      AddPattern(gtkFilter, pattern);
    }
    gtk_file_chooser_add_filter(chooser, gtkFilter);
  }
}

// The dialog starts in the initial name's folder, or in the program's
// working folder when the name has none, as the Windows dialog does.
void StartAt(GtkFileChooser* chooser, const std::string& initialName,
             bool save) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path initial(initialName);
  fs::path folder = initial.has_parent_path() ? initial.parent_path()
                                              : fs::current_path(error);
  if (!folder.empty() && fs::is_directory(folder, error)) {
    gtk_file_chooser_set_current_folder(chooser, folder.c_str());
  }
  if (save && initial.has_filename()) {
    gtk_file_chooser_set_current_name(chooser, initial.filename().c_str());
  }
}

std::string ShowFileDialog(HWND parent, const std::string& title,
                           const std::string& filter,
                           const std::string& initialName, bool save,
                           bool confirmReplace) {
  // The dialog takes the pointer, and with it the release of a drag.
  CancelDrags();
  const std::string shownTitle = DisplayText(title);
  GtkFileChooserNative* dialog = gtk_file_chooser_native_new(
      shownTitle.c_str(), OwnerWindow(parent),
      save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      nullptr, nullptr);
  GtkNativeDialog* native = GTK_NATIVE_DIALOG(dialog);
  gtk_native_dialog_set_modal(native, TRUE);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, confirmReplace);
  AddFilters(chooser, filter);
  StartAt(chooser, initialName, save);

  std::string path;
  if (gtk_native_dialog_run(native) == GTK_RESPONSE_ACCEPT) {
    if (gchar* chosen = gtk_file_chooser_get_filename(chooser)) {
      path = chosen;
      g_free(chosen);
    }
  }
  g_object_unref(dialog);
  return path;
}

}  // namespace
}  // namespace tovi::gtk

// The name of a file that does not exist is taken too: the program, not the
// dialog, tells the user it cannot be opened.
std::string ToviDialog_OpenFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                int32_t /*flags*/) {
  return tovi::gtk::ShowFileDialog(parent, title, filter, initialName, false,
                                   false);
}

std::string ToviDialog_SaveFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                ToviBool confirmReplace) {
  return tovi::gtk::ShowFileDialog(parent, title, filter, initialName, true,
                                   confirmReplace != kFalse);
}
