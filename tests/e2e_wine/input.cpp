// Real mouse and keyboard input, and the small helpers every step uses.
#include <chrono>
#include <thread>

#include "tests/e2e_wine/driver.h"

namespace e2e {

void Fail(const std::string& what) {
  throw Failure(what);
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int size = static_cast<int>(utf8.size());
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0,
                                   nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

namespace {

// How long a wait goes on before it gives up.
constexpr auto kPatience = std::chrono::seconds(30);

}  // namespace

void WaitFor(const std::function<bool()>& done, const std::string& what) {
  const auto limit = std::chrono::steady_clock::now() + kPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit)
      Fail("gave up waiting: " + what);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void ExpectSoon(const std::function<std::string()>& mismatch) {
  const auto limit = std::chrono::steady_clock::now() + kPatience;
  for (std::string last = mismatch(); !last.empty(); last = mismatch()) {
    if (std::chrono::steady_clock::now() > limit) Fail(last);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

namespace {

void Send(INPUT input) {
  if (SendInput(1, &input, sizeof(input)) != 1) Fail("SendInput refused");
}

void Key(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  Send(input);
}

// The mouse is worked at the X server, as a hand on a real mouse would:
// Wine turns the server's events into the program's input in the order
// they happened. Mouse input injected inside Wine instead moves the X
// pointer after the fact, and the echoes of those moves reach the program
// late, sometimes between a press and its release.
//
// Wine starts Unix programs too, but gives no handle to wait on for them,
// so the command leaves a mark when it has finished.
void RunOnHost(const std::string& command) {
  static int runs = 0;
  const std::string mark = "/tmp/kalvane-e2e-" +
                           std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++runs);
  std::wstring line = Wide("sh -c \"" + command + " && : > " + mark + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &started)) {
    Fail("cannot run " + command);
  }
  const std::wstring markSeen = L"Z:" + Wide(mark);
  WaitFor(
      [&] {
        return GetFileAttributesW(markSeen.c_str()) != INVALID_FILE_ATTRIBUTES;
      },
      command);
  DeleteFileW(markSeen.c_str());
  // The handles Wine gives back for a Unix program are not the program's:
  // they may be handles the driver already holds for something else (the
  // program under test, say), and closing them closes those. They are
  // left open; the few a run starts are its whole cost.
}

}  // namespace

void MoveMouse(POINT screen) {
  RunOnHost("xdotool mousemove " + std::to_string(screen.x) + " " +
            std::to_string(screen.y));
  WaitFor(
      [&] {
        POINT at;
        return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
      },
      "the mouse pointer to reach " + std::to_string(screen.x) + "," +
          std::to_string(screen.y));
}

void MouseButton(bool down) {
  RunOnHost(down ? "xdotool mousedown 1" : "xdotool mouseup 1");
}

void RightClick() {
  RunOnHost("xdotool click 3");
}

void PressKey(WORD key) {
  Key(key, true);
  Key(key, false);
}

void PressKeyWith(WORD modifier, WORD key) {
  PressChord({modifier}, key);
}

void PressChord(const std::vector<WORD>& modifiers, WORD key) {
  for (WORD modifier : modifiers) Key(modifier, true);
  PressKey(key);
  for (auto held = modifiers.rbegin(); held != modifiers.rend(); ++held) {
    Key(*held, false);
  }
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    for (DWORD flags : {DWORD{KEYEVENTF_UNICODE},
                        DWORD{KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = flags;
      Send(input);
    }
  }
}

}  // namespace e2e
