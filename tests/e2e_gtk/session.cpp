// One run of a program under test: starting it, the barrier that makes every
// check see the effect of every input sent before it, the message boxes and
// file dialogs a user answers, and closing it.
#include <algorithm>
#include <fstream>
#include <iostream>

#include "tests/e2e_gtk/e2e.h"

namespace e2e {
namespace {

// The program's error output, hidden from its file dialogs.
const std::string kErrorsFile = ".program-errors";

Screen Current(const Session& session) {
  std::optional<Screen> screen = ReadScreen(session.pid);
  if (!screen)
    Fail("the program's main window is not on the accessibility bus");
  return *screen;
}

bool Active(const Session& session) {
  std::optional<Screen> screen = ReadScreen(session.pid);
  return screen && screen->active;
}

// The barrier: the keyboard focus leaves the main window and comes back.
// The server queues the focus events behind every input sent before them,
// and the program handles its events in order, so once the window has said
// it lost the focus and has it again, every earlier input has been handled.
void Barrier(const Session& session) {
  Focus(0);
  if (!WaitFor([&] { return !Active(session); })) {
    Fail("the program stopped handling input");
  }
  Focus(session.window);
  if (!WaitFor([&] { return Active(session); })) {
    Fail("the program stopped handling input");
  }
}

std::optional<Box> FirstBox(const Screen& screen, const std::string& role) {
  for (const Box& box : screen.boxes) {
    if (box.role == role) return box;
  }
  return std::nullopt;
}

// Waits for a box of `role` on screen and returns it.
Box WaitForBox(Session& session, const std::string& role,
               const std::string& what) {
  std::optional<Box> found;
  WaitFor([&] {
    std::optional<Screen> screen = ReadScreen(session.pid);
    if (screen) found = FirstBox(*screen, role);
    return found.has_value();
  });
  if (!found) Fail("no " + what + " came up");
  return *found;
}

void ExpectOwned(const Session& session, unsigned long box,
                 const std::string& title) {
  if (OwnerOf(box) != session.window) {
    Fail("the window \"" + title + "\" is not owned by the main window");
  }
}

// A message box must be on screen under its caption and owned by the main
// window; the user reads it and presses Enter (its OK button).
void Answer(Session& session, const Box& message) {
  const unsigned long box = WaitForWindow(message.title, {session.window});
  ExpectOwned(session, box, message.title);
  Focus(box);
  Key("Return");
  WaitForWindowGone(box, message.title);
  session.messages.push_back(message);
}

std::pair<int, int> Centre(const Bounds& b) {
  return {b.x + b.w / 2, b.y + b.h / 2};
}

// A question is answered as a step said before it came.
void AnswerQuestion(Session& session, const Box& question) {
  const unsigned long box = WaitForWindow(question.title, {session.window});
  ExpectOwned(session, box, question.title);
  auto button =
      session.answers.empty()
          ? question.buttons.end()
          : std::ranges::find(question.buttons, session.answers.front(),
                              &ButtonState::caption);
  if (button == question.buttons.end()) Fail("unanswered: " + question.text);
  session.answers.erase(session.answers.begin());
  ClickAt(Centre(button->screen).first, Centre(button->screen).second);
  WaitForWindowGone(box, question.title);
  session.questions.push_back(question);
}

}  // namespace

Session Launch(const fs::path& program, const std::string& title,
               const fs::path& folder,
               const std::vector<std::string>& arguments) {
  Session session;
  session.folder = folder;
  session.title = title;
  // HOME and settings of its own, so nothing the desktop keeps (recent
  // files, the dialog's size) lands in the user's own or leaks between
  // tests.
  std::vector<std::string> argv = {"/bin/sh", "-c",
                                   "exec \"$0\" \"$@\" 2>" + kErrorsFile,
                                   fs::absolute(program).string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  session.pid = Spawn(
      argv,
      {"HOME=" + folder.string(), "GSETTINGS_BACKEND=memory",
       "XDG_CONFIG_HOME=" + (folder / ".config").string(),
       "XDG_DATA_HOME=" + (folder / ".local").string(), "GDK_BACKEND=x11"},
      folder);
  // A message box over it may bear the same title; the main window is the
  // one no other window owns.
  WaitFor([&] {
    for (unsigned long window : WindowsTitled(title)) {
      if (OwnerOf(window) == 0) session.window = window;
    }
    return session.window != 0;
  });
  if (session.window == 0) Fail("no window titled \"" + title + "\" came up");
  if (!WaitFor([&] {
        std::optional<Screen> screen = ReadScreen(session.pid);
        return screen && screen->title == title;
      })) {
    Fail("the window \"" + title + "\" is not on the accessibility bus");
  }
  return session;
}

Screen Settle(Session& session) {
  for (;;) {
    const std::vector<unsigned long> open = WindowsTitled(session.title);
    if (std::ranges::find(open, session.window) == open.end()) {
      Fail("the main window has gone");
    }
    Barrier(session);
    const Screen screen = Current(session);
    if (std::optional<Box> box = FirstBox(screen, "file chooser")) {
      Fail("unexpected file dialog \"" + box->title + "\"");
    }
    std::optional<Box> message = FirstBox(screen, "alert");
    if (!message) return screen;
    // A message box offers OK alone; a question offers a choice.
    if (message->buttons.size() > 1) {
      AnswerQuestion(session, *message);
    } else {
      Answer(session, *message);
    }
  }
}

void Press(Session& session, const std::string& caption) {
  const ButtonState button = Current(session).Button(caption);
  if (!button.enabled) Fail("the button " + caption + " is disabled");
  const auto [x, y] = Centre(button.screen);
  ClickAt(x, y);
}

void UseFileDialog(Session& session, const std::string& caption, bool save,
                   const std::string& path, bool expectQuestion,
                   const std::function<void(unsigned long)>& whileOpen) {
  Settle(session);
  if (caption.find('+') != std::string::npos) {
    Focus(session.window);
    Key(caption);
  } else {
    Press(session, caption);
  }
  const Box dialog = WaitForBox(session, "file chooser", "file dialog");
  const unsigned long window = WaitForWindow(dialog.title, {session.window});
  ExpectOwned(session, window, dialog.title);
  if (whileOpen) whileOpen(window);
  // The dialog finishes setting itself up (its folder, its name field)
  // after it appears; the same barrier as the main window's waits for it.
  auto shownDialog = [&]() -> std::optional<Box> {
    std::optional<Screen> screen = ReadScreen(session.pid);
    if (!screen) return std::nullopt;
    return FirstBox(*screen, "file chooser");
  };
  auto dialogActive = [&] {
    std::optional<Box> box = shownDialog();
    return box && box->active;
  };
  auto barrier = [&] {
    Focus(0);
    if (!WaitFor([&] { return !dialogActive(); })) Fail("the dialog hangs");
    Focus(window);
    if (!WaitFor(dialogActive)) Fail("the dialog hangs");
  };
  barrier();
  if (path.empty()) {
    Key("Escape");
  } else {
    // The open dialog takes a typed path in its location field; the save
    // dialog's name field has the focus and takes a whole path too. Ctrl+A
    // selects what it holds, so the typed path replaces it.
    Key(save ? "ctrl+a" : "ctrl+l");
    Type(path);
    // The accept button is greyed while the name field is empty and comes
    // alive only a little after the typed name is in; Enter before that
    // does nothing. So Enter waits until the accessibility bus shows the
    // button enabled. Enter, not a click: when the name matches a file in
    // the folder the field shows a completion list that holds the pointer,
    // and a click anywhere only closes that list, where Enter closes it and
    // still accepts.
    const std::string acceptCaption = save ? "Save" : "Open";
    std::optional<ButtonState> accept;
    auto acceptEnabled = [&] {
      std::optional<Box> box = shownDialog();
      if (!box) return false;
      auto found =
          std::ranges::find(box->buttons, acceptCaption, &ButtonState::caption);
      if (found == box->buttons.end()) return false;
      accept = *found;
      return accept->enabled;
    };
    if (!WaitFor(acceptEnabled)) {
      Fail(accept ? "the dialog's " + acceptCaption + " button stays disabled"
                  : "the dialog has no accept button");
    }
    Key("Return");
  }
  if (expectQuestion) {
    const Box question = WaitForBox(session, "alert", "question to replace");
    if (question.text.find("already exists") == std::string::npos) {
      Fail("the dialog asked: " + question.text);
    }
    auto replace =
        std::ranges::find(question.buttons, "Replace", &ButtonState::caption);
    if (replace == question.buttons.end()) {
      Fail("the question offers no Replace");
    }
    const auto [x, y] = Centre(replace->screen);
    ClickAt(x, y);
  }
  WaitForWindowGone(window, dialog.title);
  Settle(session);
}

void Select(Session& session, int position) {
  const ListState list = Settle(session).List();
  if (position < 0 || position >= static_cast<int>(list.entries.size())) {
    Fail("the list has no entry " + std::to_string(position));
  }
  // A click gives the list the focus; the keys then walk to the entry.
  // Two clicks on one spot can count as a double click, however far apart
  // in time the runner thinks they are; each goes a little further along.
  const Bounds entry = EntryBounds(session.pid, 0);
  session.listClicks = (session.listClicks + 1) % 8;
  ClickAt(entry.x + entry.w / 4 + session.listClicks * 12,
          entry.y + entry.h / 2);
  // The keys must come after the click has been handled: the view takes
  // the focus as it handles it.
  Settle(session);
  Key("Home");
  for (int i = 0; i < position; ++i) Key("Down");
  // The view tells the bus of a new selection in its own time, after the
  // keys are handled.
  int selected = -1;
  WaitFor([&] {
    selected = Settle(session).List().selection;
    return selected == position;
  });
  if (selected != position) {
    Fail("the list selected " + std::to_string(selected) + " instead");
  }
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
  // A critical warning is a fault, if one the user does not see.
  std::ifstream errors(session.folder / kErrorsFile);
  for (std::string line; std::getline(errors, line);) {
    std::cerr << line << '\n';
    if (line.find("-CRITICAL") != std::string::npos) Fail("logged: " + line);
  }
  if (*status != 0)
    Fail("the program ended with status " + std::to_string(*status));
}

}  // namespace e2e
