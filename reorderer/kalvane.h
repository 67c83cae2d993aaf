// kalvane as a program: start-up, the main window and its commands.
#pragma once

#include <cstdint>

// Runs the whole program: builds the main window, runs the event loop until
// the window closes, releases the document. Returns the exit code.
int RunKalvane();

// The command handler registered with the toolkit.
int32_t OnCommand(int32_t id, int32_t code, int32_t extra);

// Control identifiers of the main window.
inline constexpr int32_t kUpButton = 0;
inline constexpr int32_t kDownButton = 1;
inline constexpr int32_t kSaveButton = 2;
inline constexpr int32_t kLoadButton = 3;
inline constexpr int32_t kFunctionList = 4;
