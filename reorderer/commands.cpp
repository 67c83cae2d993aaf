// kalvane's commands: what each button of the main window does.
#include <filesystem>
#include <string>

#include "document/shown_name.h"
#include "reorderer/kalvane.h"
#include "reorderer/state.h"

namespace {

using namespace std::string_literals;

// Description and pattern pairs, each NUL-terminated, closed by one more NUL.
const std::string kSourceFilter =
    "Ostrel source files (*.ost)\0*.ost\0All Files (*.*)\0*.*\0\0"s;

// What ends a folder's name in a path on this system.
constexpr char kSeparators[] = {
    '/', static_cast<char>(std::filesystem::path::preferred_separator), '\0'};

void ShowError(const char* text) {
  MessageBoxA(kalvane::mainWindow, text, "Error", MB_ICONERROR);
}

// A file whose structure the document cannot represent is kept as it is;
// the user learns why moves will do nothing before trying one.
void WarnIfNotMovable() {
  if (kalvane::document.problem.empty()) return;
  std::string text = kalvane::document.problem +
                     "\n\nThe functions in this file cannot be moved.";
  MessageBoxA(kalvane::mainWindow, text.c_str(), "Kalvane", MB_ICONWARNING);
}

void OnLoad() {
  OpenSourceFile(ToviDialog_OpenFile(kalvane::mainWindow,
                                     "Select an Ostrel source file",
                                     kSourceFilter, "", 0));
}

void OnSave() {
  std::string path =
      ToviDialog_SaveFile(kalvane::mainWindow, "Save as...", kSourceFilter,
                          kalvane::fileName, kTrue);
  if (path.empty()) return;
  const SaveOutcome saved = SaveSourceChecked(kalvane::document, path, nullptr);
  if (saved.result == SaveResult::kSaved) return;
  if (saved.kept.empty()) {
    ShowError("Cannot save file");
    return;
  }
  // The file lacks its old or its new contents, but they are safe in a file
  // beside it: the user must learn its name, or believe them lost.
  const bool old = saved.result == SaveResult::kBackupKept;
  const size_t nameStart = saved.kept.find_last_of(kSeparators) + 1;
  const std::string text = std::string("Cannot save file\n\nThe ") +
                           (old ? "old" : "new") + " contents are kept in " +
                           ShownName(saved.kept.substr(nameStart)) +
                           ", in the file's folder.";
  ShowError(text.c_str());
}

}  // namespace

void OpenSourceFile(const std::string& path) {
  if (!path.empty()) {
    if (LoadSource(kalvane::document, kalvane::FunctionList(), path)) {
      WarnIfNotMovable();
    } else {
      ShowError("Cannot open file");
    }
  }
  // Even a cancelled or failed Load names the file the next Save offers.
  kalvane::fileName = path;
  for (int32_t id : {kSaveButton, kUpButton, kDownButton}) {
    EnableWindow(GetDlgItem(kalvane::mainWindow, id), kTrue);
  }
  kalvane::documentCommands = true;
}

int32_t OnCommand(int32_t id, int32_t, int32_t) {
  // A button ends a drag; the list's own notices (a click selecting the
  // entry a drag begins on) do not.
  if (id != kFunctionList) EndFunctionDrag();
  switch (id) {
    case kUpButton:
      MoveFunctionUp(kalvane::document, kalvane::FunctionList());
      break;
    case kDownButton:
      MoveFunctionDown(kalvane::document, kalvane::FunctionList());
      break;
    case kSaveButton:
      OnSave();
      break;
    case kLoadButton:
      OnLoad();
      break;
    default:
      OnMenuCommand(id);
      break;
  }
  // Every command, the list's own selection changes included, may change
  // what the preview shows.
  FollowInPreview();
  return 0;
}
