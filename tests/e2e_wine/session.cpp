// Starting a program, finding its windows, clicking, message boxes, and
// ending it.
#include <algorithm>

#include "tests/e2e_wine/driver.h"

namespace e2e {
namespace {

// The identifier of a message box's text.
constexpr int kMessageText = 0xFFFF;

struct WindowSearch {
  DWORD process;
  std::function<bool(HWND)> wanted;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<WindowSearch*>(search);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == s.process && IsWindowVisible(window) && s.wanted(window)) {
    s.found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD process,
                                  std::function<bool(HWND)> wanted) {
  WindowSearch search{process, std::move(wanted), {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsMessageBox(HWND dialog) {
  return GetDlgItem(dialog, kMessageText) != nullptr;
}

// Answers a question, a dialog of texts and buttons alone (a file dialog
// has more), as the next of `answers` says; false for any other dialog.
bool AnswerQuestion(Session& session, HWND box) {
  std::string shown = Utf8(WindowText(box)) + "|";
  std::string text;
  HWND answer = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string caption = Utf8(WindowText(child));
    if (ClassOf(child) == L"Button") {
      const bool enter =
          (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      text += enter ? "|[" + caption + "]" : "|" + caption;
      if (!session.answers.empty() && caption == session.answers.front()) {
        answer = child;
      }
    } else if (ClassOf(child) != L"Static") {
      return false;
    } else if (!caption.empty()) {
      shown += (shown.ends_with("|") ? "" : "\n") + caption;
    }
  }
  if (answer == nullptr) Fail("unanswered question: " + shown + text);
  session.answers.erase(session.answers.begin());
  session.questions.push_back(shown + text);
  session.Click(answer);
  // Hidden is not enough: until the box is destroyed the program is still
  // in its message loop, and a question it asks next is not up yet.
  WaitFor([&] { return !IsWindow(box); }, "the question to close");
  return true;
}

}  // namespace

std::wstring WindowText(HWND window) {
  // Asked of the window itself: GetWindowText reads only the captions of
  // another program's windows, never the text in its controls.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 30000,
                           &length)) {
    return std::wstring();
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                      reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 30000,
                      &copied);
  text.resize(std::min<size_t>(copied, length));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[257] = {};
  GetClassNameW(window, name, 257);
  return name;
}

HWND ChildWithText(HWND window, const std::wstring& className,
                   const std::wstring& text) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (lstrcmpiW(ClassOf(child).c_str(), className.c_str()) == 0 &&
        WindowText(child) == text) {
      return child;
    }
  }
  Fail("no " + Utf8(className) + " \"" + Utf8(text) + "\" in the window");
}

Session::Session(const std::filesystem::path& program,
                 const std::filesystem::path& folder, const std::wstring& title,
                 const std::wstring& argument) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  if (!argument.empty()) commandLine += L" \"" + argument + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                      FALSE, 0, nullptr, folder.c_str(), &startup, &process)) {
    Fail("cannot start " + Utf8(program.wstring()));
  }
  WaitFor(
      [&] {
        auto found = TopLevelWindows(process.dwProcessId, [&](HWND w) {
          // A message at start may carry the same title, but has an owner.
          return WindowText(w) == title && GetWindow(w, GW_OWNER) == nullptr;
        });
        window = found.empty() ? nullptr : found.front();
        return window != nullptr;
      },
      "the window \"" + Utf8(title) + "\"");
  // A program that has something to say at start shows its box at once.
  WaitFor(
      [&] {
        HWND active = ThreadInfo().hwndActive;
        return active == window || GetWindow(active, GW_OWNER) == window;
      },
      "the new window or its message to become active");
  Settle();
}

Session::~Session() {
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 10000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

GUITHREADINFO Session::ThreadInfo() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(process.dwThreadId, &info)) {
    Fail("cannot see the program's input state; has it ended?");
  }
  return info;
}

void Session::Settle() const {
  // A message sent to the program is handled only when it next reads its
  // queue, which it does from a message loop; input injected before the
  // first one may still be queued behind it, so two are sent. That covers
  // the mouse steps, which wait for the capture besides. Keys are not
  // covered: messages the program posted itself come before them, so the
  // checks after a key wait for what it should have done.
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR ignored;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000,
                             &ignored)) {
      Fail("the program does not respond");
    }
  }
}

void Session::AwaitFocus() const {
  WaitFor(
      [&] {
        const GUITHREADINFO info = ThreadInfo();
        return GetForegroundWindow() == window && info.hwndActive == window &&
               IsWindowEnabled(window) &&
               (info.hwndFocus == window || IsChild(window, info.hwndFocus));
      },
      "the main window to be active with the focus in it");
}

std::vector<HWND> Session::DialogsOwnedBy(HWND owner) const {
  return TopLevelWindows(process.dwProcessId, [&](HWND w) {
    return ClassOf(w) == L"#32770" && GetWindow(w, GW_OWNER) == owner;
  });
}

void Session::Click(HWND control) {
  RECT area;
  GetWindowRect(control, &area);
  ClickAt(control,
          POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2});
}

void Session::ClickAt(HWND control, POINT screen) {
  MoveMouse(screen);
  // A control takes the mouse capture when the press reaches it and lets
  // it go when the release does; a disabled one ignores both.
  const bool enabled = IsWindowEnabled(control);
  MouseButton(true);
  if (enabled) {
    try {
      WaitFor([&] { return ThreadInfo().hwndCapture == control; }, "the press");
    } catch (const Failure&) {
      Fail("the press did not reach the " + Utf8(ClassOf(control)) +
           " under the pointer, but " + Utf8(ClassOf(WindowFromPoint(screen))) +
           "; the capture is on " + Utf8(ClassOf(ThreadInfo().hwndCapture)));
    }
  }
  MouseButton(false);
  if (enabled) {
    WaitFor([&] { return ThreadInfo().hwndCapture != control; },
            "the release to reach \"" + Utf8(WindowText(control)) + "\"");
  }
  Settle();
}

void Session::AnswerMessageBoxes() {
  Settle();
  for (;;) {
    std::vector<HWND> boxes = DialogsOwnedBy(window);
    if (std::ranges::any_of(boxes, [&](HWND w) {
          return !IsMessageBox(w) && AnswerQuestion(*this, w);
        })) {
      Settle();
      continue;
    }
    std::erase_if(boxes, [](HWND w) { return !IsMessageBox(w); });
    if (boxes.empty()) return;
    HWND box = boxes.back();
    messages.push_back(
        Message{Utf8(WindowText(box)),
                Utf8(WindowText(GetDlgItem(box, kMessageText)))});
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr)
      Fail("a message box without OK: " + messages.back().text);
    Click(ok);
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); },
            "the message box to close");
    Settle();
  }
}

void Session::Close() {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    Fail("the program did not end when its window was closed");
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.hProcess, &code)) {
    Fail("the program ended, but its exit code cannot be read (error " +
         std::to_string(GetLastError()) + ")");
  }
  if (code != 0)
    Fail("the program ended with exit code " + std::to_string(code));
}

std::vector<std::string> ListEntries(HWND list) {
  std::vector<std::string> entries;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1,
                      L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, i,
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
    entries.push_back(Utf8(text));
  }
  return entries;
}

int ListSelection(HWND list) {
  return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

POINT EntryPoint(HWND list, int position) {
  RECT client;
  GetClientRect(list, &client);
  const int height =
      static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  if (height <= 0) Fail("the list has no entry height");
  const int visible = std::max(1, static_cast<int>(client.bottom / height));
  int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  // Scrolling the entry into view, as a user would with the scroll bar.
  if (position < top || position >= top + visible) {
    SendMessageW(list, LB_SETTOPINDEX, position, 0);
    top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  }
  POINT at{client.right / 2, (position - top) * height + height / 2};
  ClientToScreen(list, &at);
  return at;
}

}  // namespace e2e
