// kalvane as a program: start-up, the main window and its commands.
#pragma once

#include <cstdint>
#include <string>

// Runs the whole program: builds the main window, loads `startFile` (UTF-8)
// as if it had been chosen in the Load dialog unless it is empty, runs the
// event loop until the window closes, releases the document. Returns the
// exit code.
int RunKalvane(const std::string& startFile = "");

// The handlers registered with the toolkit: the buttons' commands, drags in
// the function list and the keyboard shortcuts.
int32_t OnCommand(int32_t id, int32_t code, int32_t extra);
int32_t OnFunctionDrag(int32_t list, int32_t status, int32_t item, int32_t x,
                       int32_t y);
int32_t OnKey(int32_t key, int32_t modifiers);

// Forgets a drag under way in the function list, so no drop follows it:
// whatever ends it, the list it began in may no longer be the one shown.
void EndFunctionDrag();

// What Load does with the path chosen in its dialog (empty: cancelled).
void OpenSourceFile(const std::string& path);

// Control identifiers of the main window.
inline constexpr int32_t kUpButton = 0;
inline constexpr int32_t kDownButton = 1;
inline constexpr int32_t kSaveButton = 2;
inline constexpr int32_t kLoadButton = 3;
inline constexpr int32_t kFunctionList = 4;
