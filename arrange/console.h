// Writing to standard output and standard error, one implementation per
// platform (console_posix.cpp, console_win32.cpp).
#pragma once

#include <cstdio>
#include <string_view>

// Writes `text` to `stream` (stdout or stderr) byte for byte; on a Windows
// console, where bytes would be read in the console's code page, as the
// UTF-8 text it is.
void WriteText(std::FILE* stream, std::string_view text);

// Whether `stream` (stdout or stderr) shows on a terminal: a tty, or on
// Windows a console, where colours are then shown.
bool IsTerminal(std::FILE* stream);
