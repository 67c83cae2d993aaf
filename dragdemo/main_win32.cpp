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

// listdrag carries no manifest, so it declares here what kalvane's
// manifest does: awareness of each monitor's DPI, so that the system draws
// it sharp and it scales its own layout. The call came with later systems;
// before it, the whole process could only be told the screen's one DPI.
void DeclareDpiAwareness() {
  using SetContextCall = BOOL(WINAPI*)(HANDLE);
  // The system's value for per-monitor awareness, version 2.
  const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto setContext =
      reinterpret_cast<SetContextCall>(reinterpret_cast<void*>(
          GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  if (setContext != nullptr && setContext(perMonitorV2)) return;
  SetProcessDPIAware();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (const char* about = ListdragAbout(FirstArgument())) {
    return ToviWriteConsole(about) ? 0 : 1;
  }
  DeclareDpiAwareness();
  return RunListdrag();
}
