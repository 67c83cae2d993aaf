#include "tests/programs/scenario_player.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "dragdemo/listdrag.h"
#include "reorderer/kalvane.h"
#include "tests/temp_folder.h"
#include "toolkit/memory/memory_driver.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
namespace mem = tovi::memory;

const std::map<std::string, int32_t> kButtonIds = {{"Load", kLoadButton},
                                                   {"Save", kSaveButton},
                                                   {"Up", kUpButton},
                                                   {"Down", kDownButton}};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int32_t Number(const std::string& text) {
  return std::stoi(text);
}

// The number in a listdrag label ("Item  5" gives 5).
int32_t LabelNumber(const std::string& label) {
  return Number(label.substr(label.find_last_of(' ') + 1));
}

bool MatchesText(const std::string& pattern, const std::string& text) {
  if (!pattern.empty() && pattern.back() == '*') {
    return text.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
  }
  return pattern == text;
}

class Player {
 public:
  Player(const fs::path& data, const fs::path& folder)
      : data_(data), folder_(folder) {}

  void Play(const Step& step) {
    SCOPED_TRACE("scenario line " + std::to_string(step.line) + ": " +
                 step.verb + " " + step.rest);
    const std::string& v = step.verb;
    HWND window = mem::LastWindow();
    if (v == "load" || v == "save") {
      mem::AnswerNextDialog((folder_ / step.rest).string());
      Press(window, v == "load" ? kLoadButton : kSaveButton);
    } else if (v == "load-cancel" || v == "save-cancel") {
      mem::AnswerNextDialog("");
      Press(window, v == "load-cancel" ? kLoadButton : kSaveButton);
    } else if (v == "up" || v == "down") {
      mem::Click(window, v == "up" ? kUpButton : kDownButton);
    } else if (v == "select") {
      mem::Select(List(), Number(step.rest));
    } else if (v == "drag") {
      mem::Drag(List(), Number(step.args.at(0)), Number(step.args.at(1)));
    } else if (v == "drag-end") {
      mem::DragToEnd(List(), Number(step.rest));
    } else if (v == "press") {
      EXPECT_NE(mem::PressOn(List(), Number(step.rest)), 0)
          << "the drag was refused";
    } else if (v == "release") {
      mem::ReleaseOn(List(), Number(step.rest));
    } else if (v == "key") {
      size_t before = mem::Dialogs().size();
      PressChord(window, ParseChord(step.rest));
      EXPECT_EQ(mem::Dialogs().size(), before) << "a dialog opened";
    } else if (v == "key-load" || v == "key-save") {
      size_t before = mem::Dialogs().size();
      mem::AnswerNextDialog((folder_ / step.rest).string());
      PressChord(window, {true, false, false, v == "key-load" ? "O" : "S"});
      EXPECT_EQ(mem::Dialogs().size(), before + 1) << "no dialog opened";
    } else if (v == "menu") {
      mem::RightClick(List(), Number(step.rest));
    } else if (v == "choose") {
      EXPECT_TRUE(mem::ChooseMenuItem(step.rest)) << "no such item enabled";
    } else if (v == "change") {
      const fs::path fresh = folder_ / (step.args.at(0) + ".new");
      fs::copy_file(data_ / step.args.at(1), fresh);
      fs::rename(fresh, folder_ / step.args.at(0));
    } else if (v == "answer") {
      mem::AnswerNextQuestion(step.rest);
    } else if (v == "close-menu") {
      EXPECT_NE(mem::OpenMenu(), nullptr) << "no menu is up";
      mem::CloseMenu();
    } else {
      Check(step, window);
    }
    for (; questionsAsked_ < mem::Questions().size(); ++questionsAsked_)
      EXPECT_TRUE(mem::Questions()[questionsAsked_].answered) << "unanswered";
  }

 private:
  HWND List() {
    return GetDlgItem(
        mem::LastWindow(),
        mem::Text(mem::LastWindow()) == "Kalvane" ? kFunctionList : kDragList);
  }

  void PressChord(HWND window, const Chord& chord) {
    static const std::map<std::string, int32_t> kNamedKeys = {
        {"Up", kKeyUp},    {"Down", kKeyDown}, {"Home", kKeyHome},
        {"End", kKeyEnd},  {"F3", kKeyF3},     {"F10", kKeyF10},
        {"Menu", kKeyMenu}};
    const auto named = kNamedKeys.find(chord.key);
    const int32_t key =
        named != kNamedKeys.end() ? named->second : chord.key[0];
    mem::PressKey(window, key,
                  (chord.ctrl ? kKeyCtrl : 0) | (chord.shift ? kKeyShift : 0) |
                      (chord.alt ? kKeyAlt : 0));
  }

  // A button press that opens a dialog must really open one.
  void Press(HWND window, int32_t id) {
    size_t before = mem::Dialogs().size();
    EXPECT_TRUE(mem::Click(window, id)) << "the button is disabled";
    EXPECT_EQ(mem::Dialogs().size(), before + 1) << "no dialog opened";
  }

  void Check(const Step& step, HWND window) {
    const std::string& v = step.verb;
    if (v == "expect-list") {
      EXPECT_EQ(mem::Entries(List()), Split(step.rest, '|'));
    } else if (v == "expect-selection") {
      EXPECT_EQ(mem::Selection(List()), Number(step.rest));
    } else if (v == "expect-enabled" || v == "expect-disabled") {
      for (const std::string& name : step.args) {
        EXPECT_EQ(mem::IsEnabled(GetDlgItem(window, kButtonIds.at(name))),
                  v == "expect-enabled")
            << name;
      }
    } else if (v == "expect-message") {
      CheckMessage(step.rest, window);
    } else if (v == "expect-question") {
      CheckQuestion(step.rest, window);
    } else if (v == "expect-no-message") {
      EXPECT_EQ(mem::MessageBoxes().size(), messagesSeen_)
          << "unexpected: " << mem::MessageBoxes().back().text;
      messagesSeen_ = mem::MessageBoxes().size();
    } else if (v == "expect-file") {
      EXPECT_TRUE(fs::exists(folder_ / step.args.at(0)));
      EXPECT_EQ(ReadBytes(folder_ / step.args.at(0)),
                ReadBytes(data_ / step.args.at(1)));
    } else if (v == "expect-same") {
      EXPECT_EQ(ReadBytes(folder_ / step.args.at(0)),
                ReadBytes(folder_ / step.args.at(1)));
    } else if (v == "expect-missing") {
      EXPECT_FALSE(fs::exists(folder_ / step.rest));
    } else if (v == "expect-order") {
      std::vector<std::string> entries = mem::Entries(List());
      ASSERT_GE(entries.size(), step.args.size());
      for (size_t i = 0; i < step.args.size(); ++i) {
        EXPECT_EQ(LabelNumber(entries[i]), Number(step.args[i]))
            << "entry " << i;
      }
    } else if (v == "expect-count") {
      EXPECT_EQ(static_cast<int32_t>(mem::Entries(List()).size()),
                Number(step.rest));
    } else if (v == "expect-menu") {
      const mem::MenuRecord* menu = mem::OpenMenu();
      ASSERT_NE(menu, nullptr) << "no menu is up";
      std::vector<std::string> shown;
      for (const ToviMenuItem& item : menu->items) {
        shown.push_back(MenuItemText(item.text, item.enabled != kFalse));
      }
      EXPECT_EQ(shown, Split(step.rest, '|'));
    } else if (v == "expect-preview") {
      const std::vector<HWND> views = mem::TextWindows(window);
      ASSERT_EQ(views.size(), 1u);
      EXPECT_TRUE(mem::IsShown(views[0])) << "the preview is hidden";
      std::vector<std::string> lines;
      for (const std::string& line : Split(mem::Content(views[0]), '\n')) {
        lines.push_back(PreviewLine(line));
      }
      EXPECT_EQ(lines, Split(step.rest, '|'));
    } else if (v == "expect-no-preview") {
      for (HWND view : mem::TextWindows(window)) {
        EXPECT_FALSE(mem::IsShown(view)) << "the preview is shown";
      }
    } else {
      ADD_FAILURE() << "this runner cannot play " << v;
    }
  }

  void CheckMessage(const std::string& expected, HWND window) {
    const auto& boxes = mem::MessageBoxes();
    ASSERT_GT(boxes.size(), messagesSeen_) << "no message box was shown";
    const mem::MessageBoxRecord& box = boxes[messagesSeen_];
    messagesSeen_ = boxes.size();
    std::vector<std::string> parts = Split(expected, '|');
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(box.caption, parts[0]);
    EXPECT_TRUE(MatchesText(parts[1], box.text)) << box.text;
    EXPECT_EQ(box.owner, window) << "the box must be owned by the main window";
  }

  void CheckQuestion(const std::string& expected, HWND window) {
    ASSERT_GT(mem::Questions().size(), questionsSeen_) << "none was asked";
    const mem::QuestionRecord& asked = mem::Questions()[questionsSeen_++];
    std::vector<std::string> shown = {asked.caption, asked.text};
    for (const std::string& button : asked.buttons) {
      shown.push_back(&button == &asked.buttons.at(asked.defaultButton)
                          ? "[" + button + "]"
                          : button);
    }
    std::vector<std::string> parts = Split(expected, '|');
    EXPECT_TRUE(parts.size() > 1 && MatchesText(parts[1], shown[1]));
    parts[1] = shown[1];
    EXPECT_EQ(shown, parts);
    EXPECT_EQ(asked.owner, window) << "the main window must own it";
  }

  fs::path data_;
  fs::path folder_;
  size_t messagesSeen_ = 0;
  size_t questionsSeen_ = 0;   // by expect-question
  size_t questionsAsked_ = 0;  // checked for an answer
};

}  // namespace

void PlayInMemory(const Scenario& scenario, const fs::path& dataFolder) {
  mem::Reset();
  // A folder of its own: scenarios run side by side under ctest -j.
  const testing_support::TempFolder temp("kalvane-scenario-" +
                                         scenario.program + "-");
  const fs::path& folder = temp.path();
  std::vector<Step> actions;
  std::string startFile;
  for (const Step& step : scenario.steps) {
    if (step.verb == "given") {
      fs::copy_file(dataFolder / step.args.at(1), folder / step.args.at(0),
                    fs::copy_options::overwrite_existing);
    } else if (step.verb == "start") {
      startFile = (folder / step.rest).string();
    } else {
      actions.push_back(step);
    }
  }
  Player player(dataFolder, folder);
  mem::SetEventLoop([&] {
    for (const Step& step : actions) player.Play(step);
  });
  int exitCode =
      scenario.program == "kalvane" ? RunKalvane(startFile) : RunListdrag();
  EXPECT_EQ(exitCode, 0);
}

}  // namespace scenario
