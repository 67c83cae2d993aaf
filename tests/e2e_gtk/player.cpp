// Plays a scenario file against the real program: every step a user's
// action through real input, every expectation read back through the
// accessibility bus.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <utility>

#include "tests/e2e_gtk/e2e.h"
#include "tests/scenarios/scenario.h"

namespace e2e {
namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), {}};
}

int Number(const std::string& text) {
  try {
    return std::stoi(text);
  } catch (const std::exception&) {
    Fail("not a number: " + text);
  }
}

// The number in a listdrag label ("Item  5" gives 5).
int LabelNumber(const std::string& label) {
  return Number(label.substr(label.find_last_of(' ') + 1));
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) out += (out.empty() ? "" : "|") + text;
  return "[" + out + "]";
}

bool MatchesText(const std::string& pattern, const std::string& text) {
  if (pattern.ends_with('*')) {
    return text.starts_with(pattern.substr(0, pattern.size() - 1));
  }
  return pattern == text;
}

const std::string& Arg(const scenario::Step& step, size_t index) {
  if (index >= step.args.size()) Fail("the step needs more arguments");
  return step.args[index];
}

std::pair<int, int> EntryCentre(Session& session, int position) {
  const Bounds entry = EntryBounds(session.pid, position);
  return {entry.x + entry.w / 3, entry.y + entry.h / 2};
}

// Moves the held pointer in steps from (x, yFrom) to (x, yTo) and releases
// it there. Each step is seen by the program before the next: it folds
// pointer motion it has not handled yet into one.
void MoveAndRelease(Session& session, int x, int yFrom, int yTo) {
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    MoveTo(x, yFrom + (yTo - yFrom) * i / kSteps);
    Settle(session);
  }
  Button(false);
}

// Presses at (x, y) and moves by `nudge`, a little further than a drag
// needs to begin and less than an entry, so a drop on the entry itself is a
// real drag too. The button stays down.
void PressAndNudge(Session& session, int x, int y, int nudge) {
  MoveTo(x, y);
  Button(true);
  Settle(session);
  MoveTo(x, y + nudge);
  Settle(session);
}

// Presses at (x, yFrom), moves in steps to yTo and releases there.
void DragAlong(Session& session, int x, int yFrom, int yTo) {
  const int nudge = yTo < yFrom ? -10 : 10;
  PressAndNudge(session, x, yFrom, nudge);
  MoveAndRelease(session, x, yFrom + nudge, yTo);
}

// Where the pointer is held between a `press` step and its `release`.
std::optional<std::pair<int, int>> held;

void PressOn(Session& session, int from) {
  Settle(session);
  const auto [x, y] = EntryCentre(session, from);
  PressAndNudge(session, x, y, 10);
  held = {x, y + 10};
}

void ReleaseOn(Session& session, int to) {
  if (!held) Fail("release needs a press before it");
  const auto [x, y] = *std::exchange(held, std::nullopt);
  MoveAndRelease(session, x, y, EntryCentre(session, to).second);
}

// Drags entry `from` and drops it on entry `to`.
void Drag(Session& session, int from, int to) {
  Settle(session);
  const auto [x, yFrom] = EntryCentre(session, from);
  DragAlong(session, x, yFrom, EntryCentre(session, to).second);
}

// Drags entry `from` and drops it inside the list below its last entry.
void DragToEnd(Session& session, int from) {
  const int count = static_cast<int>(Settle(session).List().entries.size());
  if (count == 0) Fail("the list is empty");
  const auto [x, yFrom] = EntryCentre(session, from);
  const Bounds last = EntryBounds(session.pid, count - 1);
  DragAlong(session, x, yFrom, last.y + last.h + last.h / 2);
}

void Expect(bool holds, const std::string& what) {
  if (!holds) Fail(what);
}

// What a menu that is up shows; the barrier is not used while it is up,
// since the menu holds the keyboard and the pointer.
std::vector<MenuItemState> MenuShown(Session& session, bool up) {
  std::vector<MenuItemState> items;
  const bool seen = WaitFor([&] {
    std::optional<Screen> screen = ReadScreen(session.pid);
    items = screen ? screen->menu : std::vector<MenuItemState>{};
    return items.empty() != up;
  });
  if (!seen) Fail(up ? "no menu came up" : "the menu stays up");
  return items;
}

// The steps of the preview and the context menu; false for any other.
bool PlayViewStep(Session& session, const scenario::Step& step) {
  const std::string& v = step.verb;
  if (v == "menu") {
    Settle(session);
    const auto [x, y] = EntryCentre(session, Number(step.rest));
    RightClickAt(x, y);
    MenuShown(session, true);
  } else if (v == "expect-menu") {
    std::vector<std::string> shown;
    for (const MenuItemState& item : MenuShown(session, true)) {
      shown.push_back(item.text);
    }
    Expect(shown == scenario::Split(step.rest, '|'),
           "the menu shows " + Joined(shown));
  } else if (v == "choose") {
    for (const MenuItemState& item : MenuShown(session, true)) {
      if (item.text.starts_with(step.rest + " (") ||
          item.text.starts_with(step.rest + ":")) {
        ClickAt(item.screen.x + item.screen.w / 2,
                item.screen.y + item.screen.h / 2);
        MenuShown(session, false);
        Settle(session);
        return true;
      }
    }
    Fail("the menu has no item " + step.rest);
  } else if (v == "close-menu") {
    MenuShown(session, true);
    Key("Escape");
    MenuShown(session, false);
  } else if (v == "expect-preview" || v == "expect-no-preview") {
    const Screen state = Settle(session);
    if (v == "expect-no-preview") {
      Expect(!state.preview.has_value(), "the preview is shown");
      return true;
    }
    Expect(state.preview.has_value(), "the preview is hidden");
    std::vector<std::string> lines;
    for (const std::string& line : scenario::Split(*state.preview, '\n')) {
      lines.push_back(scenario::PreviewLine(line));
    }
    Expect(lines == scenario::Split(step.rest, '|'),
           "the preview shows " + Joined(lines));
  } else {
    return false;
  }
  return true;
}

void Check(Session& session, const scenario::Step& step, const fs::path& data) {
  const std::string& v = step.verb;
  const fs::path& folder = session.folder;
  if (v == "expect-file") {
    // The program saves after its dialog has gone, and on a busy machine it
    // may not have put the file in place yet: wait for the bytes to come.
    const std::string wanted = ReadBytes(data / Arg(step, 1));
    const fs::path file = folder / Arg(step, 0);
    WaitFor([&] {
      std::error_code error;
      return fs::is_regular_file(file, error) && ReadBytes(file) == wanted;
    });
    Expect(fs::exists(file), Arg(step, 0) + " does not exist");
    Expect(ReadBytes(file) == wanted,
           Arg(step, 0) + " does not hold the bytes of " + Arg(step, 1));
    return;
  }
  if (v == "expect-same") {
    Expect(ReadBytes(folder / Arg(step, 0)) == ReadBytes(folder / Arg(step, 1)),
           "the files differ");
    return;
  }
  if (v == "expect-missing") {
    Expect(!fs::exists(folder / step.rest), step.rest + " exists");
    return;
  }
  const Screen state = Settle(session);
  if (v == "expect-list") {
    const auto& entries = state.List().entries;
    Expect(entries == scenario::Split(step.rest, '|'),
           "the list shows " + Joined(entries));
  } else if (v == "expect-selection") {
    Expect(state.List().selection == Number(step.rest),
           "the selection is " + std::to_string(state.List().selection));
  } else if (v == "expect-enabled" || v == "expect-disabled") {
    for (const std::string& name : step.args) {
      Expect(state.Button(name).enabled == (v == "expect-enabled"),
             name + " is " +
                 (state.Button(name).enabled ? "enabled" : "disabled"));
    }
  } else if (v == "expect-message") {
    Expect(session.messages.size() > session.messagesChecked,
           "no message box was shown");
    const Box box = session.messages[session.messagesChecked];
    session.messagesChecked = session.messages.size();
    const std::vector<std::string> parts = scenario::Split(step.rest, '|');
    Expect(parts.size() == 2 && box.title == parts[0] &&
               MatchesText(parts[1], box.text),
           "the box shown was " + box.title + "|" + box.text);
  } else if (v == "expect-question") {
    Expect(session.questions.size() > session.questionsChecked, "none asked");
    const Box& asked = session.questions[session.questionsChecked++];
    std::string shown = asked.title + "|" + asked.text;
    for (const ButtonState& b : asked.buttons) {
      shown += b.isDefault ? "|[" + b.caption + "]" : "|" + b.caption;
    }
    const size_t star = step.rest.find("*|");
    const bool same = star == std::string::npos
                          ? shown == step.rest
                          : shown.starts_with(step.rest.substr(0, star)) &&
                                shown.ends_with(step.rest.substr(star + 1));
    Expect(same, "the question asked was " + shown);
  } else if (v == "expect-no-message") {
    if (session.messages.size() > session.messagesChecked) {
      const Box& box = session.messages.back();
      Fail("a message box was shown: " + box.title + "|" + box.text);
    }
  } else if (v == "expect-order") {
    const auto& entries = state.List().entries;
    Expect(entries.size() >= step.args.size(), "the list is too short");
    for (size_t i = 0; i < step.args.size(); ++i) {
      Expect(LabelNumber(entries[i]) == Number(step.args[i]),
             "entry " + std::to_string(i) + " is " + entries[i]);
    }
  } else if (v == "expect-count") {
    Expect(static_cast<int>(state.List().entries.size()) == Number(step.rest),
           "the list has " + std::to_string(state.List().entries.size()) +
               " entries");
  } else {
    Fail("this runner cannot play the step \"" + v + "\"");
  }
}

void Play(Session& session, const scenario::Step& step, const fs::path& data) {
  const std::string& v = step.verb;
  // The dialogs open in the scenario's folder (the program's working
  // folder, or the folder of the file loaded), so the user types names.
  const std::string& path = step.rest;
  if (v == "load") {
    UseFileDialog(session, "Load", false, path, false);
  } else if (v == "save") {
    UseFileDialog(session, "Save", true, path,
                  fs::exists(session.folder / path));
  } else if (v == "load-cancel") {
    UseFileDialog(session, "Load", false, "", false);
  } else if (v == "save-cancel") {
    UseFileDialog(session, "Save", true, "", false);
  } else if (v == "select") {
    Select(session, Number(step.rest));
  } else if (v == "up" || v == "down") {
    Settle(session);
    Press(session, v == "up" ? "Up" : "Down");
  } else if (v == "drag") {
    Drag(session, Number(Arg(step, 0)), Number(Arg(step, 1)));
  } else if (v == "drag-end") {
    DragToEnd(session, Number(step.rest));
  } else if (v == "press") {
    PressOn(session, Number(step.rest));
  } else if (v == "release") {
    ReleaseOn(session, Number(step.rest));
  } else if (v == "key") {
    // Settling afterwards fails on any dialog the key opened.
    Settle(session);
    Focus(session.window);
    Key(step.rest);
    // A key that opens the context menu is done once the menu is up.
    if (step.rest == "shift+F10" || step.rest == "Menu") {
      MenuShown(session, true);
    } else {
      Settle(session);
    }
  } else if (v == "key-load") {
    UseFileDialog(session, "ctrl+o", false, path, false);
  } else if (v == "key-save") {
    UseFileDialog(session, "ctrl+s", true, path,
                  fs::exists(session.folder / path));
  } else if (v == "change") {
    const fs::path fresh = session.folder / (Arg(step, 0) + ".new");
    fs::copy_file(data / Arg(step, 1), fresh);
    fs::rename(fresh, session.folder / Arg(step, 0));
  } else if (v == "answer") {
    session.answers.push_back(step.rest);
  } else if (!PlayViewStep(session, step)) {
    Check(session, step, data);
  }
}

}  // namespace

fs::path FreshFolder() {
  std::string pattern =
      (fs::temp_directory_path() / "kalvane-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    Fail("cannot make a temporary folder");
  return pattern;
}

std::string WindowTitle(const std::string& program) {
  if (program == "kalvane") return "Kalvane";
  if (program == "listdrag") return "Listbox dragging demo";
  Fail("unknown program " + program);
}

void PlayScenario(const fs::path& scenarioFile, const fs::path& programs,
                  const fs::path& data) {
  const scenario::Scenario played = scenario::Load(scenarioFile.string());
  const fs::path folder = FreshFolder();
  Session session;
  try {
    for (const scenario::Step& step : played.steps) {
      if (step.verb == "given") {
        fs::copy_file(data / Arg(step, 1), folder / Arg(step, 0));
      }
    }
    std::vector<std::string> arguments;
    for (const scenario::Step& step : played.steps) {
      if (step.verb == "start") arguments = {(folder / step.rest).string()};
    }
    session = Launch(programs / played.program, WindowTitle(played.program),
                     folder, arguments);
    for (const scenario::Step& step : played.steps) {
      if (step.verb == "given" || step.verb == "start") continue;
      std::cout << "line " << step.line << ": " << step.verb << " " << step.rest
                << std::endl;
      try {
        Play(session, step, data);
      } catch (const Failure& failure) {
        Fail("line " + std::to_string(step.line) + " (" + step.verb + " " +
             step.rest + "): " + failure.what());
      }
    }
    Close(session);
  } catch (...) {
    Stop(session.pid);
    fs::remove_all(folder);
    throw;
  }
  fs::remove_all(folder);
}

}  // namespace e2e
