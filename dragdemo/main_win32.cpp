#include "toolkit/system.h"

#include <shellapi.h>

#include <string>

#include "dragdemo/listdrag.h"

namespace {

// Only --help and --version are looked for, so the first argument is
// enough, and both are ASCII.
std::string FirstArgument() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return "";
  std::string first;
  if (count > 1) {
    for (const wchar_t* c = args[1]; *c != L'\0'; ++c) {
      first += *c < 0x80 ? static_cast<char>(*c) : '?';
    }
  }
  LocalFree(args);
  return first;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (const char* about = ListdragAbout(FirstArgument())) {
    return ToviWriteConsole(about) ? 0 : 1;
  }
  return RunListdrag();
}
