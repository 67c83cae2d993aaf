// The end-to-end driver: plays a user at the real programs' windows under
// Wine, with real mouse and keyboard input, and reads back what the windows
// show. It runs inside the same Wine desktop as the program it drives.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

// Any check or step that does not hold: the driver stops, says why, and
// the test fails.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
[[noreturn]] void Fail(const std::string& what);

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// Polls `done` until it holds. The limit only keeps a hung program from
// hanging the test; it says nothing about speed.
void WaitFor(const std::function<bool()>& done, const std::string& what);
// Polls `mismatch`, which says what differs from what is expected (empty
// when nothing does), until it holds, and fails with what differed last.
// For checks after keys: the program may have them still in its queue.
void ExpectSoon(const std::function<std::string()>& mismatch);

// Real input, as the system gets it from the mouse and keyboard.
void MoveMouse(POINT screen);
void MouseButton(bool down);
// A click of the right button where the pointer is.
void RightClick();
void PressKey(WORD key);
void PressKeyWith(WORD modifier, WORD key);
// Presses `key` while every one of `modifiers` is held.
void PressChord(const std::vector<WORD>& modifiers, WORD key);
void TypeText(const std::wstring& text);

// A message box that was shown, read before it was answered.
struct Message {
  std::string caption;
  std::string text;
};

// One run of a program: started in a folder, its main window found by title.
struct Session {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  std::vector<Message> messages;  // shown and answered, not yet checked
  // Questions: the buttons to answer them with, in order, and those asked
  // and answered, as caption|text|buttons, the default in brackets.
  std::vector<std::string> answers;
  std::vector<std::string> questions;

  // `argument`, when not empty, is passed on the command line, quoted.
  Session(const std::filesystem::path& program,
          const std::filesystem::path& folder, const std::wstring& title,
          const std::wstring& argument = L"");
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  GUITHREADINFO ThreadInfo() const;
  // Returns once the program has handled everything sent to it so far and
  // is waiting in a message loop: its own, or a modal one.
  void Settle() const;
  // Waits until the main window is active and the focus is in it, so that
  // keys pressed now reach the program's own message loop.
  void AwaitFocus() const;
  // The program's visible dialog windows (file dialogs and message boxes),
  // newest last, owned by `owner`.
  std::vector<HWND> DialogsOwnedBy(HWND owner) const;

  // A real click in the middle of `control` (or at `screen`, a point on
  // it), waiting until the program has taken it.
  void Click(HWND control);
  void ClickAt(HWND control, POINT screen);
  // Reads, records and answers with OK every message box owned by the main
  // window, and every question as `answers` says.
  void AnswerMessageBoxes();

  // Closes the window as a user would and checks that the program ends
  // with exit code 0.
  void Close();
};

HWND ChildWithText(HWND window, const std::wstring& className,
                   const std::wstring& text);
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);

// A list control's entries and selection, read across processes.
std::vector<std::string> ListEntries(HWND list);
int ListSelection(HWND list);
// Scrolls the entry into view and gives its middle, in screen coordinates.
POINT EntryPoint(HWND list, int position);

// The file dialog steps: presses the program's button (or, given a
// `shortcut` letter, Ctrl with it instead), waits for the dialog, and types
// the path into its name box (Enter) or cancels it.
void ChooseInFileDialog(Session& session, HWND button,
                        const std::filesystem::path& path, bool expectReplace,
                        WORD shortcut = 0);
void CancelFileDialog(Session& session, HWND button);

}  // namespace e2e
