// kalvane's module-level state: one window, one document, one file name.
#pragma once

#include <string>

#include "document/source_document.h"
#include "reorderer/kalvane.h"
#include "toolkit/tovi.h"

namespace kalvane {

inline HWND mainWindow = nullptr;
// The path of the last Load, offered as the Save dialog's initial name.
inline std::string fileName;
// Replaced wholesale by each successful load.
inline SourceDocument document;
// Whether Save, Up and Down are enabled: from the first Load on.
inline bool documentCommands = false;

inline HWND FunctionList() {
  return GetDlgItem(mainWindow, kFunctionList);
}

}  // namespace kalvane
