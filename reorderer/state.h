// kalvane's module-level state: one window, one document, one file name.
#pragma once

#include <string>
#include <vector>

#include "document/source_document.h"
#include "reorderer/kalvane.h"
#include "toolkit/tovi.h"

namespace kalvane {

inline HWND mainWindow = nullptr;
// The path of the last Load, offered as the Save dialog's initial name.
inline std::string fileName;
// Replaced wholesale by each successful load.
inline SourceDocument document;
// The file the document was loaded from, and what it held when kalvane last
// read or wrote it: a Save that would replace it asks first once another
// program has changed it. No file has been loaded while `exists` is false.
inline std::string loadedPath;
inline FileStamp loadedStamp;
// The preview window, made hidden with the main window; see preview.cpp.
inline HWND previewWindow = nullptr;
// Whether Save, Up and Down are enabled: from the first Load on.
inline bool documentCommands = false;

inline HWND FunctionList() {
  return GetDlgItem(mainWindow, kFunctionList);
}

// The list position of the selected function; -1 when none is selected.
inline int32_t SelectedFunction() {
  std::vector<int32_t> selection;
  return ToviListBox_GetSelection(FunctionList(), selection) > 0
             ? selection.front()
             : -1;
}

}  // namespace kalvane
