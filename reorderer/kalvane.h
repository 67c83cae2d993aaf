// kalvane as a program: start-up, the main window and its commands.
#pragma once

#include <cstdint>
#include <string>

// Runs the whole program: builds the main window, loads `startFile` (UTF-8)
// as if it had been chosen in the Load dialog unless it is empty, runs the
// event loop until the window closes, releases the document. Returns the
// exit code.
int RunKalvane(const std::string& startFile = "");

// What kalvane prints, without a window, when its only argument asks about
// the program itself (--help, --version); null for any other argument,
// which names a file.
const char* KalvaneAbout(const std::string& argument);

// The handlers registered with the toolkit: the buttons' commands, drags in
// the function list and the keyboard shortcuts.
int32_t OnCommand(int32_t id, int32_t code, int32_t extra);
int32_t OnFunctionDrag(int32_t list, int32_t status, int32_t item, int32_t x,
                       int32_t y);
int32_t OnKey(int32_t key, int32_t modifiers);

// Forgets a drag under way in the function list, so no drop follows it:
// whatever ends it, the list it began in may no longer be the one shown.
void EndFunctionDrag();

// Keys and commands beyond the buttons that open, and come from, the
// function list's context menu (context_menu.cpp): the menu's own keys
// first, then those of gestures.cpp. Each leaves the preview following the
// selected function.
int32_t OnKeyAnywhere(int32_t key, int32_t modifiers);
int32_t OnContextMenu(int32_t control);
void OnMenuCommand(int32_t id);

// The preview window (preview.cpp): made when F3 or the menu first shows
// it, shown and hidden by them, and brought up to date after everything
// that may change the selected function or its lines.
void TogglePreview();
bool PreviewShown();
void FollowInPreview();
// OnFunctionDrag, followed by the preview.
int32_t OnListDrag(int32_t list, int32_t status, int32_t item, int32_t x,
                   int32_t y);

// What Load does with the path chosen in its dialog (empty: cancelled).
void OpenSourceFile(const std::string& path);

// Control identifiers of the main window.
inline constexpr int32_t kUpButton = 0;
inline constexpr int32_t kDownButton = 1;
inline constexpr int32_t kSaveButton = 2;
inline constexpr int32_t kLoadButton = 3;
inline constexpr int32_t kFunctionList = 4;

// Commands of the function list's context menu. They are apart from the
// buttons' and the list's identifiers, so a menu item never passes for a
// control.
inline constexpr int32_t kMenuMoveUp = 100;
inline constexpr int32_t kMenuMoveDown = 101;
inline constexpr int32_t kMenuMoveToTop = 102;
inline constexpr int32_t kMenuMoveToBottom = 103;
inline constexpr int32_t kMenuSortByName = 104;
inline constexpr int32_t kMenuUndo = 105;
inline constexpr int32_t kMenuRedo = 106;
inline constexpr int32_t kMenuPreview = 107;
