// kalvane's commands: what each button of the main window does.
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/file_io.h"
#include "document/order_by_names.h"
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

// The name of the file at `path`, as messages show it.
std::string ShownFileName(const std::string& path) {
  return ShownName(path.substr(path.find_last_of(kSeparators) + 1));
}

void ReportFailedSave(const SaveOutcome& outcome) {
  if (outcome.kept.empty()) {
    ShowError("Cannot save file");
    return;
  }
  // The file lacks its old or its new contents, but they are safe in a file
  // beside it: the user must learn its name, or believe them lost.
  const bool old = outcome.result == SaveResult::kBackupKept;
  const std::string text = std::string("Cannot save file\n\nThe ") +
                           (old ? "old" : "new") + " contents are kept in " +
                           ShownFileName(outcome.kept) +
                           ", in the file's folder.";
  ShowError(text.c_str());
}

// Whether `path` names the file the document was loaded from: by its path,
// or by its identity under another name (a link, another spelling).
bool IsLoadedFile(const std::string& path) {
  if (!kalvane::loadedStamp.exists) return false;
  if (path == kalvane::loadedPath) return true;
  FileStamp there;
  return IdentifyFile(path, there) && there.exists &&
         SameFile(there, kalvane::loadedStamp);
}

// The answers to a file changed by another program, in the order shown.
enum ChangedFileAnswer : int32_t { kOverwrite, kReload, kCancel };

ChangedFileAnswer AskAboutChangedFile(const std::string& path) {
  const std::string text =
      ShownFileName(path) +
      " has changed on disk since kalvane last read or wrote it.\n\n"
      "Overwrite replaces it with the functions as listed here, losing the "
      "other changes. Reload reads it again and puts its functions back in "
      "your order, without saving. Cancel changes nothing.";
  return static_cast<ChangedFileAnswer>(
      ToviDialog_Ask(kalvane::mainWindow, "Kalvane", text,
                     {"Overwrite", "Reload, keeping my arrangement", "Cancel"},
                     kCancel, kCancel));
}

// Reads the file again and puts the functions the user arranged back in
// their order by name, as one step that one undo takes back. Nothing is
// saved: the user sees the result first.
void ReloadKeepingArrangement(const std::string& path) {
  const std::vector<std::string> arranged = FunctionNames(kalvane::document);
  const int32_t selected = kalvane::SelectedFunction();
  FileStamp stamp;
  if (!LoadSource(kalvane::document, kalvane::FunctionList(), path, &stamp)) {
    ShowError("Cannot open file");
    return;
  }
  kalvane::loadedPath = path;
  kalvane::loadedStamp = stamp;
  // The function the user had selected stays selected, where the file
  // still has it; the reorder below carries the selection along.
  if (selected >= 0 && static_cast<size_t>(selected) < arranged.size()) {
    const int32_t again = ToviListBox_GetIndex(
        kalvane::FunctionList(), arranged[static_cast<size_t>(selected)]);
    if (again >= 0) ToviListBox_SetSelection(kalvane::FunctionList(), {again});
  }
  PutFunctionsInOrder(kalvane::document, kalvane::FunctionList(),
                      OrderByNames(arranged, FunctionNames(kalvane::document)));
  WarnIfNotMovable();
}

// What the file at `path` holds now; none when it cannot be read.
std::optional<FileStamp> StampNow(const std::string& path) {
  FileStamp stamp;
  if (StampOfFile(path, stamp)) return stamp;
  return std::nullopt;
}

// Saves to `path`. The loaded file is replaced only while it holds what
// kalvane last read or wrote there; once another program has changed it,
// the user decides. The check stands right before the replacement, so a
// change made while the question is up is asked about again.
void SaveTo(const std::string& path) {
  const bool loaded = IsLoadedFile(path);
  std::optional<FileStamp> expected;
  if (loaded) expected = kalvane::loadedStamp;
  for (;;) {
    const SaveOutcome outcome = SaveSourceChecked(
        kalvane::document, path, expected ? &*expected : nullptr);
    if (outcome.result == SaveResult::kSaved) {
      if (loaded) kalvane::loadedStamp = outcome.written;
      return;
    }
    if (outcome.result != SaveResult::kChangedOnDisk) {
      // What this failed save left at the path is kalvane's own doing, not
      // another program's: the next Save must not ask about it.
      if (loaded && outcome.touched) {
        kalvane::loadedStamp = StampNow(path).value_or(FileStamp{});
      }
      ReportFailedSave(outcome);
      return;
    }
    // Overwrite means the bytes the user was told about, not whatever
    // comes after them; bytes that cannot even be read are overwritten as
    // asked.
    expected = StampNow(path);
    const ChangedFileAnswer answer = AskAboutChangedFile(path);
    if (answer == kReload) ReloadKeepingArrangement(path);
    if (answer != kOverwrite) return;
  }
}

void OnSave() {
  const std::string path =
      ToviDialog_SaveFile(kalvane::mainWindow, "Save as...", kSourceFilter,
                          kalvane::fileName, kTrue);
  if (!path.empty()) SaveTo(path);
}

}  // namespace

void OpenSourceFile(const std::string& path) {
  if (!path.empty()) {
    FileStamp stamp;
    if (LoadSource(kalvane::document, kalvane::FunctionList(), path, &stamp)) {
      kalvane::loadedPath = path;
      kalvane::loadedStamp = stamp;
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
