// Plays a scenario file (tests/scenarios/FORMAT.md) at the real program.
#include "tests/e2e_wine/player.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "tests/e2e_wine/driver.h"
#include "tests/e2e_wine/views.h"
#include "tests/scenarios/scenario.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + Utf8(path.wstring()));
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) {
    joined += (joined.empty() ? "" : "|") + text;
  }
  return joined;
}

int Number(const std::string& text) {
  try {
    size_t used = 0;
    int value = std::stoi(text, &used);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  Fail("not a number: " + text);
}

bool Matches(const std::string& text, const std::string& pattern) {
  if (!pattern.empty() && pattern.back() == '*') {
    return text.starts_with(pattern.substr(0, pattern.size() - 1));
  }
  return text == pattern;
}

// Moves the held pointer from `start` to `end` in steps, as a hand moves, so
// the list sees the pointer pass over the entries between, and releases the
// button there.
void MoveAndRelease(Session& session, POINT start, POINT end) {
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    MoveMouse(POINT{start.x + (end.x - start.x) * i / kSteps,
                    start.y + (end.y - start.y) * i / kSteps});
    session.Settle();
  }
  MouseButton(false);
}

class Player {
 public:
  Player(const Programs& programs, const fs::path& folder,
         const std::string& program)
      : programs_(programs), folder_(folder), program_(program) {}

  void Play(const scenario::Step& step) {
    const std::string& verb = step.verb;
    if (verb == "given") return Given(step);
    if (verb == "start") return StartWith(step);
    if (!session_) Start();
    static const std::map<std::string, void (Player::*)(const scenario::Step&)>
        kSteps = {
            {"load", &Player::Load},
            {"load-cancel", &Player::LoadCancel},
            {"select", &Player::Select},
            {"up", &Player::Up},
            {"down", &Player::Down},
            {"save", &Player::Save},
            {"save-cancel", &Player::SaveCancel},
            {"expect-list", &Player::ExpectList},
            {"expect-selection", &Player::ExpectSelection},
            {"expect-enabled", &Player::ExpectEnabled},
            {"expect-disabled", &Player::ExpectDisabled},
            {"expect-message", &Player::ExpectMessage},
            {"expect-no-message", &Player::ExpectNoMessage},
            {"expect-file", &Player::ExpectFile},
            {"expect-same", &Player::ExpectSame},
            {"expect-missing", &Player::ExpectMissing},
            {"drag", &Player::Drag},
            {"drag-end", &Player::DragToEnd},
            {"key", &Player::Key},
            {"key-load", &Player::KeyLoad},
            {"key-save", &Player::KeySave},
            {"expect-order", &Player::ExpectOrder},
            {"expect-count", &Player::ExpectCount},
            {"press", &Player::PressOn},
            {"release", &Player::ReleaseOn},
            {"expect-preview", &Player::ExpectPreview},
            {"expect-no-preview", &Player::ExpectNoPreview},
            {"menu", &Player::Menu},
            {"expect-menu", &Player::ExpectMenu},
            {"choose", &Player::Choose},
            {"close-menu", &Player::CloseMenu},
            {"change", &Player::Change},
            {"answer", &Player::AnswerWith},
            {"expect-question", &Player::ExpectQuestion},
        };
    auto found = kSteps.find(verb);
    if (found == kSteps.end()) Fail("this runner cannot play " + verb);
    (this->*found->second)(step);
  }

  // A program that ends by itself is caught at the step it ended in.
  void ExpectRunning() const {
    if (!session_) return;
    DWORD code = 0;
    if (!GetExitCodeProcess(session_->process.hProcess, &code)) {
      Fail("the program's state cannot be read (error " +
           std::to_string(GetLastError()) + ")");
    }
    if (code != STILL_ACTIVE) {
      Fail("the program ended by itself, with exit code " +
           std::to_string(code));
    }
  }

  void Finish() {
    if (!session_) Start();
    // Whatever the screen's DPI, every caption fits its button.
    ExpectSoon([&] { return ClippedButton(session_->window); });
    session_->Close();
  }

 private:
  fs::path InFolder(const std::string& name) const {
    return (folder_ / fs::path(Wide(name))).make_preferred();
  }

  void Start() {
    const bool kalvane = program_ == "kalvane";
    session_ = std::make_unique<Session>(
        kalvane ? programs_.kalvane : programs_.listdrag, folder_,
        kalvane ? L"Kalvane" : L"Listbox dragging demo", argument_);
    session_->AnswerMessageBoxes();
    GetWindowRect(session_->window, &placed_);
  }

  void StartWith(const scenario::Step& step) {
    Need(step, 1);
    if (session_) Fail("start must come before the program starts");
    argument_ = InFolder(step.args[0]).wstring();
    Start();
  }

  HWND List() const {
    return GetDlgItem(session_->window, program_ == "kalvane" ? 4 : 100);
  }

  HWND Button(const std::string& caption) const {
    return ChildWithText(session_->window, L"Button", Wide(caption));
  }

  void Need(const scenario::Step& step, size_t count) const {
    if (step.args.size() != count) {
      Fail(step.verb + " takes " + std::to_string(count) + " argument(s)");
    }
  }

  void Given(const scenario::Step& step) {
    Need(step, 2);
    if (session_) Fail("given must come before the program starts");
    fs::path target = InFolder(step.args[0]);
    fs::create_directories(target.parent_path());
    fs::copy_file(programs_.data / step.args[1], target,
                  fs::copy_options::overwrite_existing);
  }

  void Load(const scenario::Step& step) {
    Need(step, 1);
    fs::path path = InFolder(step.args[0]);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (!fs::exists(path)) {
      // The open dialog accepts existing files only, so a user cannot pick
      // a missing one here. What the step is about, a chosen file that
      // cannot be opened, is played with a file this runner holds open
      // without sharing while the program tries, and removes afterwards.
      std::cout << "note: " << step.args[0]
                << " does not exist; the open dialog would refuse it, so it "
                   "is played as a file that exists but cannot be opened\n";
      held = CreateFileW(
          path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (held == INVALID_HANDLE_VALUE) Fail("cannot hold " + step.args[0]);
    }
    try {
      ChooseInFileDialog(*session_, Button("Load"), path, false);
    } catch (...) {
      if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
      throw;
    }
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  }

  void LoadCancel(const scenario::Step&) {
    CancelFileDialog(*session_, Button("Load"));
  }

  void Save(const scenario::Step& step) {
    Need(step, 1);
    fs::path path = InFolder(step.args[0]);
    ChooseInFileDialog(*session_, Button("Save"), path, fs::exists(path));
  }

  void SaveCancel(const scenario::Step&) {
    CancelFileDialog(*session_, Button("Save"));
  }

  void Select(const scenario::Step& step) {
    Need(step, 1);
    int position = Number(step.args[0]);
    session_->ClickAt(List(), EntryPoint(List(), position));
    session_->AnswerMessageBoxes();
    if (ListSelection(List()) != position) {
      Fail("clicking entry " + step.args[0] + " did not select it");
    }
  }

  void Press(const std::string& caption) {
    session_->Click(Button(caption));
    session_->AnswerMessageBoxes();
  }
  void Up(const scenario::Step&) { Press("Up"); }
  void Down(const scenario::Step&) { Press("Down"); }

  void ExpectList(const scenario::Step& step) {
    const std::string wanted = Joined(scenario::Split(step.rest, '|'));
    ExpectSoon([&]() -> std::string {
      const std::string shown = Joined(ListEntries(List()));
      return shown == wanted ? ""
                             : "the list shows " + shown + ", not " + wanted;
    });
  }

  void ExpectSelection(const scenario::Step& step) {
    Need(step, 1);
    const int wanted = Number(step.args[0]);
    ExpectSoon([&]() -> std::string {
      const int selected = ListSelection(List());
      return selected == wanted
                 ? ""
                 : "position " + std::to_string(selected) + " is selected";
    });
  }

  void ExpectEnabledness(const scenario::Step& step, bool enabled) {
    for (const std::string& caption : step.args) {
      ExpectSoon([&]() -> std::string {
        if ((IsWindowEnabled(Button(caption)) != FALSE) == enabled) return "";
        return caption + " is " + (enabled ? "disabled" : "enabled");
      });
    }
  }
  void ExpectEnabled(const scenario::Step& step) {
    ExpectEnabledness(step, true);
  }
  void ExpectDisabled(const scenario::Step& step) {
    ExpectEnabledness(step, false);
  }

  void ExpectMessage(const scenario::Step& step) {
    size_t bar = step.rest.find('|');
    if (bar == std::string::npos) Fail("expect-message needs CAPTION|TEXT");
    std::string caption = step.rest.substr(0, bar);
    std::string text = step.rest.substr(bar + 1);
    std::vector<Message> shown = std::exchange(session_->messages, {});
    for (const Message& m : shown) {
      if (m.caption == caption && Matches(m.text, text)) return;
    }
    std::string seen;
    for (const Message& m : shown)
      seen += " [" + m.caption + "|" + m.text + "]";
    Fail("no message " + step.rest +
         " was shown; shown:" + (seen.empty() ? " none" : seen));
  }

  void ExpectNoMessage(const scenario::Step&) {
    std::vector<Message> shown = std::exchange(session_->messages, {});
    if (!shown.empty()) {
      Fail("a message was shown: " + shown.front().caption + "|" +
           shown.front().text);
    }
  }

  void ExpectFile(const scenario::Step& step) {
    Need(step, 2);
    if (ReadFile(InFolder(step.args[0])) !=
        ReadFile(programs_.data / step.args[1])) {
      Fail(step.args[0] + " does not hold the bytes of " + step.args[1]);
    }
  }

  void ExpectSame(const scenario::Step& step) {
    Need(step, 2);
    if (ReadFile(InFolder(step.args[0])) != ReadFile(InFolder(step.args[1]))) {
      Fail(step.args[0] + " and " + step.args[1] + " differ");
    }
  }

  void ExpectMissing(const scenario::Step& step) {
    Need(step, 1);
    if (fs::exists(InFolder(step.args[0]))) Fail(step.args[0] + " exists");
  }

  void Drag(const scenario::Step& step) {
    Need(step, 2);
    DragEntry(*session_, List(), Number(step.args[0]), Number(step.args[1]));
    session_->AnswerMessageBoxes();
  }

  void DragToEnd(const scenario::Step& step) {
    Need(step, 1);
    const int count = static_cast<int>(ListEntries(List()).size());
    POINT below = EntryPoint(List(), count - 1);
    below.y += static_cast<int>(SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0));
    DragEntryTo(*session_, List(), Number(step.args[0]), below);
    session_->AnswerMessageBoxes();
  }

  // A key pressed with modifiers; it must open no dialog.
  void Key(const scenario::Step& step) {
    const scenario::Chord chord = scenario::ParseChord(step.rest);
    std::vector<WORD> modifiers;
    if (chord.ctrl) modifiers.push_back(VK_CONTROL);
    if (chord.shift) modifiers.push_back(VK_SHIFT);
    if (chord.alt) modifiers.push_back(VK_MENU);
    static const std::map<std::string, WORD> kNamedKeys = {
        {"Up", VK_UP}, {"Down", VK_DOWN}, {"Home", VK_HOME}, {"End", VK_END},
        {"F3", VK_F3}, {"F10", VK_F10},   {"Menu", VK_APPS}};
    const auto named = kNamedKeys.find(chord.key);
    const WORD key = named != kNamedKeys.end()
                         ? named->second
                         : static_cast<WORD>(chord.key[0]);
    session_->AwaitFocus();
    PressChord(modifiers, key);
    // A key that opens the context menu is done once the menu is up.
    if (step.rest == "shift+F10" || step.rest == "Menu") {
      AwaitMenu(true);
      return;
    }
    session_->Settle();
    if (!session_->DialogsOwnedBy(session_->window).empty()) {
      Fail("the key opened a dialog");
    }
  }

  void KeyLoad(const scenario::Step& step) {
    Need(step, 1);
    ChooseInFileDialog(*session_, Button("Load"), InFolder(step.args[0]), false,
                       'O');
  }

  void KeySave(const scenario::Step& step) {
    Need(step, 1);
    fs::path path = InFolder(step.args[0]);
    ChooseInFileDialog(*session_, Button("Save"), path, fs::exists(path), 'S');
  }

  void ExpectOrder(const scenario::Step& step) {
    ExpectSoon([&]() -> std::string {
      std::vector<std::string> entries = ListEntries(List());
      if (entries.size() < step.args.size()) return "the list is too short";
      for (size_t i = 0; i < step.args.size(); ++i) {
        if (entries[i] != "Item  " + step.args[i]) {
          return "entry " + std::to_string(i) + " is \"" + entries[i] +
                 "\", not item " + step.args[i];
        }
      }
      return "";
    });
  }

  void ExpectCount(const scenario::Step& step) {
    Need(step, 1);
    const auto wanted = static_cast<size_t>(Number(step.args[0]));
    ExpectSoon([&]() -> std::string {
      const size_t count = ListEntries(List()).size();
      return count == wanted
                 ? ""
                 : "the list has " + std::to_string(count) + " entries";
    });
  }

  // Presses on an entry and keeps the button down, once the list holds the
  // pointer: the drag has begun.
  void PressOn(const scenario::Step& step) {
    Need(step, 1);
    held_ = EntryPoint(List(), Number(step.args[0]));
    MoveMouse(*held_);
    MouseButton(true);
    WaitFor([&] { return session_->ThreadInfo().hwndCapture == List(); },
            "the drag to begin");
    session_->Settle();
  }

  void ReleaseOn(const scenario::Step& step) {
    Need(step, 1);
    if (!held_) Fail("release needs a press before it");
    const POINT start = *std::exchange(held_, std::nullopt);
    MoveAndRelease(*session_, start, EntryPoint(List(), Number(step.args[0])));
    session_->Settle();
    session_->AnswerMessageBoxes();
  }

  void ExpectPreview(const scenario::Step& step) {
    const std::string wanted = Joined(scenario::Split(step.rest, '|'));
    ExpectSoon([&]() -> std::string {
      const auto lines = PreviewLines(*session_);
      if (!lines) return "the preview is hidden";
      const std::string shown = Joined(*lines);
      if (shown != wanted) return "the preview shows " + shown;
      // A function's lines show plain text, keywords and line numbers.
      return PreviewColoursMismatch(
          *session_, wanted.find(" FUNCTION ") != std::string::npos ? 3 : 1);
    });
  }

  // Hidden, the preview leaves the main window as it was: where the
  // preview was docked in it, the window has its size and place back.
  void ExpectNoPreview(const scenario::Step&) {
    ExpectSoon([&]() -> std::string {
      if (PreviewLines(*session_)) return "the preview is shown";
      RECT place;
      GetWindowRect(session_->window, &place);
      return EqualRect(&place, &placed_) ? ""
                                         : "the main window's size or place "
                                           "has changed";
    });
  }

  // A menu holds the program in its own loop until it closes.
  void AwaitMenu(bool up) {
    WaitFor([&] { return MenuShown(*session_) == up; },
            up ? "the context menu" : "the context menu to close");
    if (!up) session_->Settle();
  }

  void Menu(const scenario::Step& step) {
    Need(step, 1);
    MoveMouse(EntryPoint(List(), Number(step.args[0])));
    RightClick();
    AwaitMenu(true);
  }

  // The items of another program's menu cannot be read under Wine (see
  // views.h): the runner checks that the menu is up, says what it could
  // not check, and keeps the items written, so that `choose` can pick one
  // by its place with the keyboard, as a user may. What the choice then
  // does is checked by the steps after it.
  void ExpectMenu(const scenario::Step& step) {
    AwaitMenu(true);
    menuItems_ = scenario::Split(step.rest, '|');
    std::cout << "note: line " << step.line
              << ": the menu is up; its items cannot be read from another "
                 "process under Wine\n";
  }

  void Choose(const scenario::Step& step) {
    AwaitMenu(true);
    for (size_t i = 0; i < menuItems_.size(); ++i) {
      if (menuItems_[i].starts_with(step.rest + " (") ||
          menuItems_[i].starts_with(step.rest + ":")) {
        for (size_t down = 0; down <= i; ++down) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        AwaitMenu(false);
        session_->AnswerMessageBoxes();
        return;
      }
    }
    Fail("no expect-menu before this step names " + step.rest);
  }

  void CloseMenu(const scenario::Step&) {
    AwaitMenu(true);
    PressKey(VK_ESCAPE);
    AwaitMenu(false);
  }

  // Another program writes a new file beside NAME and moves it over it.
  void Change(const scenario::Step& step) {
    Need(step, 2);
    fs::path fresh = InFolder(step.args[0]);
    fresh += L".new";
    fs::copy_file(programs_.data / step.args[1], fresh);
    fs::rename(fresh, InFolder(step.args[0]));
  }

  // The answer is given when the question comes, during a later step.
  void AnswerWith(const scenario::Step& step) {
    session_->answers.push_back(step.rest);
  }

  void ExpectQuestion(const scenario::Step& step) {
    if (session_->questions.empty()) Fail("no question was asked");
    const std::string shown = session_->questions.front();
    session_->questions.erase(session_->questions.begin());
    const size_t star = step.rest.find("*|");
    if (star == std::string::npos
            ? shown != step.rest
            : !shown.starts_with(step.rest.substr(0, star)) ||
                  !shown.ends_with(step.rest.substr(star + 1))) {
      Fail("the question asked was " + shown);
    }
  }

  const Programs& programs_;
  fs::path folder_;
  std::string program_;
  std::unique_ptr<Session> session_;
  RECT placed_{};              // the main window's place when it started
  std::wstring argument_;      // the program's command line argument, if any
  std::optional<POINT> held_;  // where a `press` holds the button down
  std::vector<std::string> menuItems_;  // of the last expect-menu
};

}  // namespace

void DragEntry(Session& session, HWND list, int from, int to) {
  DragEntryTo(session, list, from, EntryPoint(list, to));
}

void DragEntryTo(Session& session, HWND list, int from, POINT end) {
  POINT start = EntryPoint(list, from);
  MoveMouse(start);
  MouseButton(true);
  WaitFor([&] { return session.ThreadInfo().hwndCapture == list; },
          "the drag to begin");
  MoveAndRelease(session, start, end);
  WaitFor([&] { return session.ThreadInfo().hwndCapture != list; },
          "the drop to reach the list");
  session.Settle();
}

void PlayScenario(const fs::path& file, const Programs& programs,
                  const fs::path& folder) {
  scenario::Scenario played = scenario::Load(file.string());
  Player player(programs, folder, played.program);
  for (const scenario::Step& step : played.steps) {
    try {
      player.Play(step);
      player.ExpectRunning();
    } catch (const Failure& failure) {
      Fail(file.filename().string() + ":" + std::to_string(step.line) + ": " +
           step.verb + ": " + failure.what());
    }
  }
  player.Finish();
}

}  // namespace e2e
