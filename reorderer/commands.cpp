// kalvane's commands: what each button of the main window does.
#include <string>

#include "reorderer/kalvane.h"
#include "reorderer/state.h"

namespace {

using namespace std::string_literals;

// Description and pattern pairs, each NUL-terminated, closed by one more NUL.
const std::string kSourceFilter =
    "Ostrel source files (*.ost)\0*.ost\0All Files (*.*)\0*.*\0\0"s;

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
  if (!SaveSource(kalvane::document, path)) ShowError("Cannot save file");
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
