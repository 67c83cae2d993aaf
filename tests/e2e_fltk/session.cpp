// One run of a program under test: starting it, the barrier that makes every
// check see the effect of every input sent before it, the message boxes and
// file dialogs a user answers, and closing it.
#include <algorithm>

#include "tests/e2e_fltk/e2e.h"

namespace e2e {
namespace {

ProbeState Current(const Session& session) {
  std::optional<ProbeState> state = ReadProbe(session.probe);
  if (!state) Fail("the program wrote no probe file");
  return *state;
}

// Waits for the next "shown" record the runner has not dealt with yet.
Shown NextShown(Session& session, const std::string& kind) {
  std::optional<Shown> next;
  WaitFor([&] {
    std::optional<ProbeState> state = ReadProbe(session.probe);
    if (state && state->shown.size() > session.shownHandled) {
      next = state->shown[session.shownHandled];
    }
    return next.has_value();
  });
  if (!next) Fail("no " + kind + " came up");
  if (next->kind != kind) {
    Fail("expected a " + kind + " but a " + next->kind +
         " came up: " + next->title + " / " + next->text);
  }
  ++session.shownHandled;
  return *next;
}

// A message box must be on screen under its caption and owned by the main
// window; the user reads it and presses Enter (its OK button).
void Answer(Session& session, const Shown& message) {
  const unsigned long box = WaitForWindow(message.title, {session.window});
  if (OwnerOf(box) != session.window) {
    Fail("the message box \"" + message.title +
         "\" is not owned by the main window");
  }
  Focus(box);
  Xdo({"key", "Return"});
  WaitForWindowGone(box, message.title);
  session.messages.push_back(message);
}

}  // namespace

Session Launch(const fs::path& program, const std::string& title,
               const fs::path& folder,
               const std::vector<std::string>& arguments) {
  Session session;
  session.folder = folder;
  session.probe = folder / ".probe";
  session.title = title;
  // HOME too, so nothing the toolkit might keep lands in the user's own.
  std::vector<std::string> argv = {fs::absolute(program).string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  session.pid = Spawn(
      argv,
      {"TOVI_PROBE_FILE=" + session.probe.string(), "HOME=" + folder.string()},
      folder);
  // A message at start may carry the main window's title; the main window
  // is the one without an owner.
  WaitFor([&] {
    for (unsigned long window : WindowsTitled(title)) {
      if (OwnerOf(window) == 0) session.window = window;
    }
    return session.window != 0;
  });
  if (session.window == 0) Fail("no main window titled " + title);
  if (!WaitFor([&] { return ReadProbe(session.probe).has_value(); })) {
    Fail("the program wrote no probe file");
  }
  return session;
}

ProbeState Settle(Session& session) {
  for (;;) {
    const int before = Current(session).sync;
    const std::vector<unsigned long> open = WindowsTitled(session.title);
    if (std::ranges::find(open, session.window) == open.end()) {
      Fail("the main window has gone");
    }
    Focus(session.window);
    // F12 counts in the probe and does nothing else; X delivers input in
    // order, so once it has been counted everything sent before it has been
    // handled too.
    Xdo({"key", "F12"});
    std::optional<ProbeState> state;
    WaitFor([&] {
      state = ReadProbe(session.probe);
      return state && state->sync > before;
    });
    if (!state || state->sync <= before) {
      Fail("the program stopped handling input");
    }
    bool answered = false;
    while (session.shownHandled < state->shown.size()) {
      const Shown shown = state->shown[session.shownHandled++];
      if (shown.kind != "message") {
        Fail("unexpected " + shown.kind + " \"" + shown.title + "\"");
      }
      Answer(session, shown);
      answered = true;
    }
    if (!answered) return *state;
  }
}

void Press(Session& session, const std::string& caption) {
  const ButtonState button = Current(session).Button(caption);
  if (!button.enabled) Fail("the button " + caption + " is disabled");
  ClickAt(session.window, button.bounds.x + button.bounds.w / 2,
          button.bounds.y + button.bounds.h / 2);
}

void UseFileDialog(Session& session, const std::string& caption,
                   const std::string& kind, const std::string& path,
                   bool expectQuestion,
                   const std::function<void(unsigned long)>& whileOpen) {
  Settle(session);
  if (caption.find('+') != std::string::npos) {
    Focus(session.window);
    Xdo({"key", caption});
  } else {
    Press(session, caption);
  }
  const Shown dialog = NextShown(session, kind);
  const unsigned long window = WaitForWindow(dialog.title, {session.window});
  if (whileOpen) whileOpen(window);
  Focus(window);
  if (path.empty()) {
    Xdo({"key", "Escape"});
  } else {
    // The name field has the focus; Ctrl+A selects what it holds, so the
    // typed path replaces it.
    Xdo({"key", "ctrl+a"});
    Xdo({"type", "--delay", "1", path});
    Xdo({"key", "Return"});
  }
  if (expectQuestion) {
    const Shown question = NextShown(session, "question");
    const unsigned long box =
        WaitForWindow(question.title, {session.window, window});
    Focus(box);
    Xdo({"key", "y"});
    WaitForWindowGone(box, question.title);
  }
  WaitForWindowGone(window, dialog.title);
  Settle(session);
}

void Close(Session& session) {
  CloseWindow(session.window);
  std::optional<int> status = WaitExit(session.pid, kTimeout);
  if (!status) {
    Stop(session.pid);
    session.pid = -1;
    Fail("the program did not end when its window was closed");
  }
  session.pid = -1;
  if (*status != 0)
    Fail("the program ended with status " + std::to_string(*status));
}

}  // namespace e2e
