// Start-up and shutdown of kalvane: the main window, its controls and layout.
#include <string>

#include "reorderer/kalvane.h"
#include "reorderer/state.h"

namespace {

struct ButtonPlace {
  const char* caption;
  int32_t id;
  const char* toolTip;  // names the shortcut, where users look for it
};

// Left to right as they appear in the button row.
constexpr ButtonPlace kButtons[] = {
    {"Load", kLoadButton, "Load a source file (Ctrl+O)"},
    {"Save", kSaveButton, "Save the source file (Ctrl+S)"},
    {"Up", kUpButton, "Move the selected function up (Alt+Up)"},
    {"Down", kDownButton, "Move the selected function down (Alt+Down)"},
};

void BuildControls() {
  using kalvane::mainWindow;
  ToviSeries buttonRow = ToviNewAutoSizerSeries(kSeriesSideBySide);
  HWND list = ToviAddListBox(mainWindow, 0, 0, kFunctionList);
  // What a screen reader says on entering the list, before its entries.
  ToviSetAccessibleName(list, "Functions");
  // The list takes the whole height but a 27-pixel strip: a 2-pixel gap and
  // the 25-pixel button row.
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 27, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviAutoSizer_SetInfo(buttonRow, kMainSeries, 2, 25, 0, 0, 1, 1,
                        kItemIsSeries);
  for (const ButtonPlace& place : kButtons) {
    HWND button = ToviAddButton(mainWindow, place.caption, 0, place.id);
    ToviAutoSizer_SetInfo(button, buttonRow, 0, 0.25, 0, 0, 1, 1, 0);
    ToviSetToolTip(button, place.toolTip);
  }
  ToviListBox_EnableDragging(list);
}

// Until the first Load there is nothing to save or move.
void DisableDocumentButtons() {
  for (int32_t id : {kSaveButton, kUpButton, kDownButton}) {
    EnableWindow(GetDlgItem(kalvane::mainWindow, id), kFalse);
  }
  kalvane::documentCommands = false;
}

}  // namespace

int RunKalvane(const std::string& startFile) {
  if (Tovi() != 0) return 1;
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "quorlet");
  kalvane::mainWindow =
      ToviNewWindow(nullptr, "Kalvane", -1, -1, 400, 300, 0, 0, icon, 0);
  if (kalvane::mainWindow == nullptr) return 1;
  BuildControls();
  kalvane::fileName.clear();
  DisableDocumentButtons();
  ToviRegOnCommand(kalvane::mainWindow, OnCommand);
  ToviRegOnDrag(kalvane::mainWindow, OnListDrag);
  ToviRegOnKey(kalvane::mainWindow, OnKeyAnywhere);
  ToviRegOnContextMenu(kalvane::mainWindow, OnContextMenu);
  // The preview is made when first asked for; none is left from a run before.
  kalvane::previewWindow = nullptr;
  ToviEnableDialogInterface(kalvane::mainWindow, kTrue);
  ToviDisplay(kalvane::mainWindow);
  // Shown first, so a message about the file has its window to stand over.
  if (!startFile.empty()) OpenSourceFile(startFile);
  int32_t exitCode = ToviDoEvents(0);
  // Give the memory back and leave the state as a fresh start would find it.
  kalvane::document = SourceDocument{};
  kalvane::fileName.clear();
  kalvane::mainWindow = nullptr;
  kalvane::previewWindow = nullptr;
  return exitCode;
}
