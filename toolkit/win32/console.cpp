// Text for the terminal that started a windowed program.
#include <string>

#include "toolkit/win32/backend.h"

bool ToviWriteConsole(const char* text) {
  const std::string utf8 = text == nullptr ? "" : text;
  // Redirected to a file or a pipe: the bytes go there as they are, UTF-8,
  // as a console program's would.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE &&
      GetFileType(out) != FILE_TYPE_CHAR && GetFileType(out) != 0) {
    DWORD written = 0;
    return WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()),
                     &written, nullptr) &&
           written == utf8.size();
  }
  // Otherwise the console of the program that started this one, if any,
  // written in UTF-16 so that its code page does not matter.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  bool done = false;
  if (console != INVALID_HANDLE_VALUE) {
    const std::wstring wide = tovi::win32::Widen(utf8);
    DWORD written = 0;
    done = WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()),
                         &written, nullptr) != 0;
    CloseHandle(console);
  }
  FreeConsole();
  return done;
}
