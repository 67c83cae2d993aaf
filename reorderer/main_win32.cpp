#include "toolkit/system.h"

#include <shellapi.h>

#include <string>

#include "reorderer/kalvane.h"

namespace {

// The file named on the command line, in UTF-8; empty without one. It is
// read as UTF-16, since the narrow command line holds only what the ANSI
// code page can spell, and a path may need any character.
std::string StartFile() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return "";
  std::string path;
  if (count > 1) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, args[1], -1, nullptr, 0,
                                           nullptr, nullptr);
    if (length > 1) {
      path.resize(static_cast<size_t>(length));
      WideCharToMultiByte(CP_UTF8, 0, args[1], -1, path.data(), length, nullptr,
                          nullptr);
      path.resize(static_cast<size_t>(length - 1));
    }
  }
  LocalFree(args);
  return path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string argument = StartFile();
  if (const char* about = KalvaneAbout(argument)) {
    return ToviWriteConsole(about) ? 0 : 1;
  }
  return RunKalvane(argument);
}
