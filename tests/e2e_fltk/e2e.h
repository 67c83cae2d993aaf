// The end-to-end runner for the FLTK programs: a private X server (Xvfb),
// the real program, real input through xdotool, and what the user sees read
// back through the program's probe file (see toolkit/fltk/probe.cpp).
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
inline constexpr std::chrono::milliseconds kTimeout = 15s;

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

// --- the X server (xserver.cpp)

struct XServer {
  pid_t pid = -1;
  std::string display;  // ":N"
};
// Starts Xvfb on a display number it finds free, and points DISPLAY (this
// process's and so every xdotool's) at it.
XServer StartXServer();
void StopXServer(XServer& server);
// Asks a window to close, as a window manager's close button does.
void CloseWindow(unsigned long window);
// The window `window` is transient for (its owner), 0 for none.
unsigned long OwnerOf(unsigned long window);

// --- input and windows (desktop.cpp)

// Runs xdotool with these arguments; fails the test when xdotool does.
std::string Xdo(const std::vector<std::string>& args);
// The visible windows titled exactly `title`.
std::vector<unsigned long> WindowsTitled(const std::string& title);
// Waits for a window titled `title` other than those in `except`.
unsigned long WaitForWindow(const std::string& title,
                            const std::vector<unsigned long>& except = {});
void WaitForWindowGone(unsigned long window, const std::string& title);
void Focus(unsigned long window);
void ClickAt(unsigned long window, int x, int y);
// Presses, moves in steps through `path` (window coordinates) and releases.
// `afterEachStep` runs after the press and after each move: the program
// folds motion it has not handled yet into one, so a caller that wants
// every step seen waits for it there.
void DragAlong(unsigned long window,
               const std::vector<std::pair<int, int>>& path,
               const std::function<void()>& afterEachStep);
// Writes a picture of `window` (0: the whole screen) to `file`.
void Screenshot(const fs::path& file, unsigned long window = 0);

// --- what the program shows (probe_state.cpp)

struct Bounds {
  int x = 0, y = 0, w = 0, h = 0;
};
struct ListState {
  int id = -1, selection = -1, caret = -1;
  std::vector<std::string> entries;
  Bounds bounds;
  int top = 0, rowHeight = 0;  // entry 0's top edge, and each entry's height
  int dragMark = -1;           // where a running drag's insertion mark stands
};
struct ButtonState {
  int id = -1;
  bool enabled = false;
  std::string caption;
  Bounds bounds;
};
struct Shown {
  std::string kind, title, text;
};
struct ProbeState {
  int sync = -1;
  int focus = -1;
  std::vector<ListState> lists;
  std::vector<ButtonState> buttons;
  std::vector<Shown> shown;

  const ButtonState& Button(const std::string& caption) const;
  const ListState& List() const;  // the one list these programs have
};
// Reads the probe; nullopt while there is none yet.
std::optional<ProbeState> ReadProbe(const fs::path& file);

// --- a program under test (session.cpp)

struct Session {
  pid_t pid = -1;
  fs::path folder;  // the scenario's files; the program's working folder
  fs::path probe;
  unsigned long window = 0;  // the main window
  std::string title;
  size_t shownHandled = 0;      // probe "shown" records dealt with
  std::vector<Shown> messages;  // message boxes seen and answered
  size_t messagesChecked = 0;   // of those, the ones a step looked at
};

// Starts `program` in `folder` and waits for its main window.
Session Launch(const fs::path& program, const std::string& title,
               const fs::path& folder,
               const std::vector<std::string>& arguments = {});
// Waits until every input sent so far has been handled, answers (with OK)
// any message box that came up, checking it is on screen and owned by the
// main window, and returns what the program shows then.
ProbeState Settle(Session& session);
// Presses a button of the main window with the mouse.
void Press(Session& session, const std::string& caption);
// Presses `caption` (or, when it holds a '+', the key chord it names in
// xdotool's spelling, such as ctrl+o), waits for the file dialog it opens
// (`kind` "open" or "save"), types `path` into its name field and presses
// Enter, or presses Escape when `path` is empty. A question about replacing a
// file must come exactly when `expectQuestion`, and is answered Yes.
// `whileOpen`, if set, runs once the dialog is on screen.
void UseFileDialog(
    Session& session, const std::string& caption, const std::string& kind,
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
// Walks through both programs taking screenshots into `shots`, and checks
// that the controls follow the layout when the window is resized.
void Tour(const fs::path& programs, const fs::path& examples,
          const fs::path& shots);

}  // namespace e2e
