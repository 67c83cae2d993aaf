#include <windows.h>

#include <algorithm>
#include <string>

#include "arrange/console.h"

namespace {

// The console a stream shows on, or nullptr when it goes to a file or pipe.
HANDLE ConsoleOf(std::FILE* stream) {
  const HANDLE handle =
      GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)
             ? handle
             : nullptr;
}

}  // namespace

// A console is written in UTF-16, which shows every character whatever its
// code page. Changing the code page instead would change it for the whole
// console, which outlives the program: two runs at once (as pre-commit
// makes) or Ctrl+C would leave it changed.
void WriteText(std::FILE* stream, std::string_view text) {
  if (text.empty()) return;
  const HANDLE console = ConsoleOf(stream);
  const int size = static_cast<int>(text.size());
  const int length =
      console == nullptr || text.size() > 1u << 30
          ? 0
          : MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length <= 0) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  std::fflush(stream);
  // Colours are escape sequences, which a console reads only in its virtual
  // terminal mode; the mode is the console's, which outlives the program,
  // so it is given back as it was once the text is out.
  DWORD mode = 0;
  const bool escapes =
      text.find('\x1b') != std::string_view::npos &&
      GetConsoleMode(console, &mode) &&
      !(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) &&
      SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  DWORD written = 0;
  for (size_t done = 0; done < wide.size(); done += written) {
    const DWORD piece =
        static_cast<DWORD>(std::min<size_t>(wide.size() - done, 1u << 15));
    if (!WriteConsoleW(console, wide.data() + done, piece, &written, nullptr) ||
        written == 0) {
      break;
    }
  }
  if (escapes) SetConsoleMode(console, mode);
}

// A console too old for escape sequences refuses their mode; it would show
// them as text.
bool IsTerminal(std::FILE* stream) {
  const HANDLE console = ConsoleOf(stream);
  DWORD mode = 0;
  if (console == nullptr || !GetConsoleMode(console, &mode)) return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  if (!SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
    return false;
  }
  SetConsoleMode(console, mode);
  return true;
}
