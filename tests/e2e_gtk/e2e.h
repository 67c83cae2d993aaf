// The end-to-end runner for the GTK programs: a private X server (Xvfb), the
// real program, real input through the XTest extension, and what the user
// sees read back through the accessibility bus, as a screen reader reads it.
// The runner itself runs inside a private D-Bus session (dbus-run-session),
// which the program and the accessibility bus share.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// How long anything the runner waits for may take before it is a failure.
inline constexpr std::chrono::milliseconds kTimeout = 20s;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
[[noreturn]] void Fail(const std::string& what);

// --- processes (process.cpp)

// Runs a program to its end; its exit status. Its standard output goes to
// `output` when given.
int Run(const std::vector<std::string>& argv, std::string* output = nullptr);
// Starts a program with extra environment ("NAME=value") in `folder`.
pid_t Spawn(const std::vector<std::string>& argv,
            const std::vector<std::string>& environment,
            const fs::path& folder);
// The exit status once the process has ended, nullopt after `timeout`.
std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout);
// Ends a process the runner started, and reaps it.
void Stop(pid_t pid);
// Polls `ready` until it holds; false after `timeout`.
bool WaitFor(const std::function<bool()>& ready,
             std::chrono::milliseconds timeout = kTimeout);

// --- the X server and real input (xserver.cpp)

struct XServer {
  pid_t pid = -1;
  std::string display;  // ":N"
};
// Starts Xvfb on a display number it finds free, and points DISPLAY (this
// process's and so every program's) at it.
XServer StartXServer();
// Stops the server and waits until it is gone entirely, its socket and lock
// file included, so its number is free again for the next test.
void StopXServer(XServer& server);
// Asks a window to close, as a window manager's close button does.
void CloseWindow(unsigned long window);
// The window `window` is transient for (its owner), 0 for none.
unsigned long OwnerOf(unsigned long window);
// Gives `window` the keyboard focus (0: no window has it).
void Focus(unsigned long window);
// Pointer and keyboard, in screen coordinates. Each call returns once the
// server has taken the input, so input from one call is always delivered
// before anything the runner does next.
void MoveTo(int x, int y);
void Button(bool down);
void ClickAt(int x, int y);
void RightClickAt(int x, int y);
// A key by its X name ("Return", "Tab", "a"), with modifiers given as
// "ctrl+", "shift+" or "alt+" in front: "ctrl+l", "shift+Tab".
void Key(const std::string& key);
// Types text of printable ASCII characters.
void Type(const std::string& text);

// The visible top-level windows titled exactly `title`.
std::vector<unsigned long> WindowsTitled(const std::string& title);
// Resizes a window, as a user dragging its edge does.
void Resize(unsigned long window, int width, int height);

// --- windows (desktop.cpp)

// Waits for a window titled `title` other than those in `except`.
unsigned long WaitForWindow(const std::string& title,
                            const std::vector<unsigned long>& except = {});
void WaitForWindowGone(unsigned long window, const std::string& title);
// Writes a picture of `window` (0: the whole screen) to `file`.
void Screenshot(const fs::path& file, unsigned long window = 0);

// --- what the program shows, as the accessibility bus tells it
// (accessible.cpp)

struct Bounds {
  int x = 0, y = 0, w = 0, h = 0;
};
struct ListState {
  std::string name;
  int selection = -1;
  std::vector<std::string> entries;
  Bounds bounds;      // the list's frame, in window coordinates
  Bounds screen;      // the same on the screen
  std::string about;  // its description: where a drag would drop
  bool focused = false;
};
struct ButtonState {
  bool enabled = false;
  bool focused = false;
  bool isDefault = false;  // the one Enter presses
  std::string caption;
  Bounds bounds;  // in window coordinates
  Bounds screen;
};
// A top-level window other than the main one: a message box, a file dialog
// or its question.
struct Box {
  std::string role;  // "alert", "file chooser", "dialog"
  std::string title;
  std::string text;  // the labels shown, joined by newlines
  std::vector<ButtonState> buttons;
  bool active = false;  // whether it has the keyboard focus
};
// An item of a context menu that is up, as `expect-menu` writes it
// (scenario::MenuItemText), and where it is on the screen.
struct MenuItemState {
  std::string text;
  Bounds screen;
};
struct Screen {
  std::string title;    // the main window's
  bool active = false;  // whether the main window has the keyboard focus
  std::vector<ListState> lists;
  std::vector<ButtonState> buttons;
  std::vector<Box> boxes;  // shown over the main window, in order
  // The preview window's text, when one titled kPreviewTitle is shown.
  std::optional<std::string> preview;
  std::vector<MenuItemState> menu;  // empty when no menu is up

  const ButtonState& Button(const std::string& caption) const;
  const ListState& List() const;  // the one list these programs have
  // The name of the control with the keyboard focus; empty for none.
  std::string Focused() const;
};
inline constexpr char kPreviewTitle[] = "Kalvane Preview";
// Connects to the accessibility bus; once per run.
void StartAccessibility();
// What the program with process `pid` shows; nullopt until it has put its
// main window on the bus.
std::optional<Screen> ReadScreen(pid_t pid);
// The screen rectangle of entry `position` of the list, read fresh.
Bounds EntryBounds(pid_t pid, int position);
// The actions entry `position` offers a screen reader, after doing action
// `doing` (-1: none).
std::vector<std::string> EntryActions(pid_t pid, int position, int doing = -1);
// From now on, what the program tells a screen reader of its list, taken in
// order: entries as a reader says them ("NAME, N of M"), announcements as
// "announced: TEXT".
void ListenToList(pid_t pid);
std::vector<std::string> TakeHeard();
// The screen rectangle of the preview's characters from `start` up to
// `end`; all zero when no preview is shown.
Bounds PreviewBounds(pid_t pid, int start, int end);
// The colours of the screen's pixels inside `area`, as 0xRRGGBB
// (xserver.cpp).
std::vector<unsigned long> ScreenPixels(const Bounds& area);

// --- a program under test (session.cpp)

struct Session {
  pid_t pid = -1;
  fs::path folder;  // the scenario's files; the program's working folder
  unsigned long window = 0;  // the main window
  std::string title;
  std::vector<Box> messages;   // message boxes seen and answered
  size_t messagesChecked = 0;  // of those, the ones a step looked at
  int listClicks = 0;          // where the next click into the list goes
  // The buttons answering the questions to come, and those asked.
  std::vector<std::string> answers;
  std::vector<Box> questions;
  size_t questionsChecked = 0;
};

// Starts `program` in `folder` and waits for its main window.
Session Launch(const fs::path& program, const std::string& title,
               const fs::path& folder,
               const std::vector<std::string>& arguments = {});
// Waits until every input sent so far has been handled, answers (with OK)
// any message box that came up, and any question as `answers` says,
// checking each is on screen and owned by the main window, and returns
// what the program shows then.
Screen Settle(Session& session);
// Presses a button of the main window with the mouse.
void Press(Session& session, const std::string& caption);
// Presses `caption` (or, when it holds a '+', the key chord it names, such
// as ctrl+o), waits for the file dialog it opens, types `path` into it and
// presses Enter once its accept button is enabled, or presses Escape when
// `path` is empty. A question about replacing a file must come exactly when
// `expectQuestion`, and is answered by pressing Replace. `whileOpen`, if set,
// runs once the dialog is on screen.
void UseFileDialog(
    Session& session, const std::string& caption, bool save,
    const std::string& path, bool expectQuestion,
    const std::function<void(unsigned long dialog)>& whileOpen = nullptr);
// Selects list entry `position` as a user does: a click into the list, then
// Home and Down.
void Select(Session& session, int position);
// Closes the main window; the program must end with status 0.
void Close(Session& session);

// --- whole tests

// The title of a program's main window.
std::string WindowTitle(const std::string& program);
// A new empty folder for one test's files.
fs::path FreshFolder();

// Plays one scenario file (tests/scenarios/FORMAT.md).
void PlayScenario(const fs::path& scenarioFile, const fs::path& programs,
                  const fs::path& data);
// Runs kalvane on GTK's Wayland backend in a Weston nested in the X server
// and checks that, with the preview shown, the keys still reach the list.
void PlayOnWayland(const fs::path& programs, const fs::path& data);
// Walks through both programs taking screenshots into `shots`, and checks
// that the controls follow the layout when the window is resized.
void Tour(const fs::path& programs, const fs::path& examples,
          const fs::path& shots);

}  // namespace e2e
