// kalvane as a whole program on the in-memory backend: what the user sees
// and what lands on disk, beyond what the shared scenarios check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "reorderer/kalvane.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace fs = std::filesystem;
namespace mem = tovi::memory;
using namespace std::string_literals;

const std::string kFilter =
    "Ostrel source files (*.ost)\0*.ost\0All Files (*.*)\0*.*\0\0"s;

class KalvaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mem::Reset();
    folder_ =
        fs::temp_directory_path() /
        ("kalvane-program-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs kalvane with `user` acting inside its event loop.
  void Run(const std::function<void()>& user) {
    mem::SetEventLoop(user);
    ASSERT_EQ(RunKalvane(), 0);
  }

  std::string Path(const std::string& name) {
    return (folder_ / name).string();
  }

  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  HWND Window() { return mem::LastWindow(); }
  HWND List() { return GetDlgItem(Window(), kFunctionList); }
  bool Press(int32_t id, const std::string& answer) {
    mem::AnswerNextDialog(answer);
    return mem::Click(Window(), id);
  }

  fs::path folder_;
};

const std::string kTwoFunctions =
    "DECLARE FUNCTION One ()\n"
    "DECLARE FUNCTION Two ()\n"
    "FUNCTION One ()\n"
    "END FUNCTION\n"
    "FUNCTION Two ()\n"
    "END FUNCTION\n";

TEST_F(KalvaneTest, WindowShowsTheListAboveARowOfFourButtons) {
  Run([&] {
    HWND window = Window();
    EXPECT_EQ(mem::Text(window), "Kalvane");
    EXPECT_EQ(mem::ClientSize(window), (tovi::Rect{0, 0, 400, 300}));
    EXPECT_EQ(mem::IconName(window), "quorlet");
    EXPECT_TRUE(mem::IsDisplayed(window));
    EXPECT_TRUE(mem::DialogInterfaceEnabled(window));

    std::vector<HWND> controls = mem::Controls(window);
    ASSERT_EQ(controls.size(), 5u);
    EXPECT_TRUE(mem::IsList(controls[0]));
    EXPECT_EQ(mem::ControlId(controls[0]), kFunctionList);
    EXPECT_EQ(mem::Bounds(controls[0]), (tovi::Rect{0, 0, 400, 273}));
    const char* captions[] = {"Load", "Save", "Up", "Down"};
    const int32_t ids[] = {kLoadButton, kSaveButton, kUpButton, kDownButton};
    for (int i = 0; i < 4; ++i) {
      HWND button = controls[static_cast<size_t>(i + 1)];
      EXPECT_TRUE(mem::IsButton(button));
      EXPECT_EQ(mem::Text(button), captions[i]);
      EXPECT_EQ(mem::ControlId(button), ids[i]);
      EXPECT_EQ(mem::Bounds(button), (tovi::Rect{100 * i, 275, 100, 25}));
    }

    mem::Resize(window, 600, 427);
    EXPECT_EQ(mem::Bounds(List()), (tovi::Rect{0, 0, 600, 400}));
    EXPECT_EQ(mem::Bounds(GetDlgItem(window, kDownButton)),
              (tovi::Rect{450, 402, 150, 25}));
  });
}

TEST_F(KalvaneTest, OnlyLoadWorksBeforeTheFirstLoad) {
  Write("a.ost", kTwoFunctions);
  Run([&] {
    for (int32_t id : {kSaveButton, kUpButton, kDownButton}) {
      EXPECT_FALSE(mem::IsEnabled(GetDlgItem(Window(), id)));
      EXPECT_FALSE(Press(id, Path("out.ost"))) << id;
    }
    EXPECT_TRUE(mem::Dialogs().empty());
    EXPECT_TRUE(Press(kLoadButton, Path("a.ost")));
    for (int32_t id : {kSaveButton, kUpButton, kDownButton}) {
      EXPECT_TRUE(mem::IsEnabled(GetDlgItem(Window(), id)));
    }
  });
  EXPECT_FALSE(fs::exists(Path("out.ost")));
}

TEST_F(KalvaneTest, DialogsOfferTheLoadedNameUntilTheNextLoad) {
  Write("a.ost", kTwoFunctions);
  Run([&] {
    Press(kLoadButton, Path("a.ost"));
    Press(kSaveButton, Path("b.ost"));
    Press(kSaveButton, Path("c.ost"));
    Press(kLoadButton, "");  // cancelled: the list stays, the name goes
    Press(kSaveButton, Path("d.ost"));
  });
  const auto& dialogs = mem::Dialogs();
  ASSERT_EQ(dialogs.size(), 5u);
  EXPECT_FALSE(dialogs[0].save);
  EXPECT_EQ(dialogs[0].title, "Select an Ostrel source file");
  EXPECT_EQ(dialogs[0].filter, kFilter);
  EXPECT_EQ(dialogs[0].initialName, "");
  EXPECT_EQ(dialogs[0].flags, 0);
  for (size_t i : {1u, 2u}) {
    EXPECT_TRUE(dialogs[i].save);
    EXPECT_EQ(dialogs[i].title, "Save as...");
    EXPECT_EQ(dialogs[i].filter, kFilter);
    EXPECT_EQ(dialogs[i].initialName, Path("a.ost"));
    EXPECT_EQ(dialogs[i].flags, kTrue);  // asks before replacing
    EXPECT_EQ(dialogs[i].parent, dialogs[0].parent);
  }
  EXPECT_EQ(dialogs[4].initialName, "");
  EXPECT_EQ(Read("b.ost"), kTwoFunctions);
  EXPECT_EQ(Read("c.ost"), kTwoFunctions);
  EXPECT_EQ(Read("d.ost"), kTwoFunctions);
  EXPECT_TRUE(mem::MessageBoxes().empty());
}

TEST_F(KalvaneTest, FailedLoadKeepsTheDocumentButTakesTheName) {
  Write("a.ost", kTwoFunctions);
  Run([&] {
    Press(kLoadButton, Path("a.ost"));
    Press(kLoadButton, Path("missing.ost"));
    EXPECT_EQ(mem::Entries(List()), (std::vector<std::string>{"One", "Two"}));
    mem::Select(List(), 0);
    mem::Click(Window(), kDownButton);
    Press(kSaveButton, Path("out.ost"));
  });
  ASSERT_EQ(mem::MessageBoxes().size(), 1u);
  const mem::MessageBoxRecord& box = mem::MessageBoxes()[0];
  EXPECT_EQ(box.text, "Cannot open file");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.style, MB_ICONERROR);
  EXPECT_EQ(box.owner, mem::Dialogs()[0].parent);
  EXPECT_EQ(mem::Dialogs().back().initialName, Path("missing.ost"));
  EXPECT_EQ(Read("out.ost"),
            "DECLARE FUNCTION Two ()\n"
            "DECLARE FUNCTION One ()\n"
            "FUNCTION Two ()\n"
            "END FUNCTION\n"
            "FUNCTION One ()\n"
            "END FUNCTION\n");
}

TEST_F(KalvaneTest, FailedSaveIsReportedAndHarmsNothing) {
  Write("a.ost", kTwoFunctions);
  fs::create_directories(folder_ / "folder.ost");
  Run([&] {
    Press(kLoadButton, Path("a.ost"));
    Press(kSaveButton, Path("no-such-folder/out.ost"));
    Press(kSaveButton, Path("folder.ost"));
    Press(kSaveButton, "");  // a cancel writes and says nothing
  });
  ASSERT_EQ(mem::MessageBoxes().size(), 2u);
  for (const mem::MessageBoxRecord& box : mem::MessageBoxes()) {
    EXPECT_EQ(box.text, "Cannot save file");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.style, MB_ICONERROR);
    EXPECT_EQ(box.owner, mem::Dialogs()[0].parent);
  }
  EXPECT_TRUE(fs::is_directory(folder_ / "folder.ost"));
  EXPECT_TRUE(fs::is_empty(folder_ / "folder.ost"));
  EXPECT_FALSE(fs::exists(folder_ / "no-such-folder"));
  // Nothing but the loaded file and the untouched folder is left behind.
  EXPECT_EQ(
      std::distance(fs::directory_iterator(folder_), fs::directory_iterator()),
      2);
  EXPECT_EQ(Read("a.ost"), kTwoFunctions);
}

// Only the loaded file changed elsewhere is asked about: also by another name
// and again while asked; not once it is gone or holds its bytes again.
TEST_F(KalvaneTest, SaveAsksOnlyAboutTheLoadedFileChangedElsewhere) {
  Write("a.ost", kTwoFunctions);
  fs::create_symlink(Path("a.ost"), Path("link.ost"));
  const std::string changed = kTwoFunctions + "' more\n";
  Run([&] {
    Press(kLoadButton, Path("a.ost"));
    Write("a.ost.new", kTwoFunctions);
    fs::rename(Path("a.ost.new"), Path("a.ost"));  // a new file, same bytes
    Press(kSaveButton, Path("a.ost"));
    Write("a.ost", changed);  // in place this time
    mem::AnswerNextQuestion("Overwrite",
                            [&] { Write("a.ost", changed + changed); });
    mem::AnswerNextQuestion("Cancel");
    Press(kSaveButton, Path("link.ost"));
    EXPECT_EQ(Read("a.ost"), changed + changed);
    fs::remove(Path("link.ost"));
    fs::remove(Path("a.ost"));
    Press(kSaveButton, Path("a.ost"));
    EXPECT_EQ(Read("a.ost"), kTwoFunctions);
  });
  EXPECT_EQ(mem::Questions().size(), 2u);
}

TEST_F(KalvaneTest, UnmovableFileIsReportedOnceAndKeptAsItIs) {
  const std::string twice = kTwoFunctions + "FUNCTION one ()\nEND FUNCTION\n";
  Write("twice.ost", twice);
  Run([&] {
    Press(kLoadButton, Path("twice.ost"));
    mem::Select(List(), 0);
    mem::Click(Window(), kDownButton);
    mem::Select(List(), 1);
    mem::Click(Window(), kUpButton);
    Press(kSaveButton, Path("out.ost"));
  });
  ASSERT_EQ(mem::MessageBoxes().size(), 1u);
  const mem::MessageBoxRecord& box = mem::MessageBoxes()[0];
  EXPECT_EQ(box.caption, "Kalvane");
  EXPECT_EQ(box.style, MB_ICONWARNING);
  EXPECT_EQ(box.text.rfind("Line 7: ", 0), 0u) << box.text;
  const std::string ending = "The functions in this file cannot be moved.";
  ASSERT_GE(box.text.size(), ending.size());
  EXPECT_EQ(box.text.substr(box.text.size() - ending.size()), ending);
  EXPECT_EQ(Read("out.ost"), twice);
}

TEST_F(KalvaneTest, ClosingAfterMovesAsksNothing) {
  Write("a.ost", kTwoFunctions);
  Run([&] {
    Press(kLoadButton, Path("a.ost"));
    mem::Select(List(), 0);
    mem::Click(Window(), kDownButton);
  });
  EXPECT_TRUE(mem::MessageBoxes().empty());
  EXPECT_EQ(Read("a.ost"), kTwoFunctions);
}

}  // namespace

namespace {

// Beyond the shared scenarios: tooltips, drops outside the list, the
// history across Loads, and the name a start argument leaves for Save.
TEST_F(KalvaneTest, GesturesBeyondTheButtons) {
  Write("two.ost", kTwoFunctions);
  const std::vector<std::string> one{"One", "Two"}, two{"Two", "One"};
  mem::SetEventLoop([&] {
    Press(kSaveButton, "");
    EXPECT_EQ(mem::Dialogs().back().initialName, Path("two.ost"));
    EXPECT_TRUE(
        mem::ToolTip(GetDlgItem(Window(), kUpButton)).ends_with("(Alt+Up)"));
    mem::Drag(List(), 1, -1);
    EXPECT_EQ(mem::Entries(List()), one);
    EXPECT_EQ(mem::Selection(List()), 1);
    mem::Drag(List(), 1, 0);
    Press(kLoadButton, Path("missing.ost"));  // fails, keeps the history
    EXPECT_TRUE(mem::PressKey(Window(), 'Z', kKeyCtrl));
    EXPECT_EQ(mem::Entries(List()), one);
    mem::Drag(List(), 1, 0);
    Press(kLoadButton, Path("two.ost"));
    mem::PressKey(Window(), 'Z', kKeyCtrl);
    EXPECT_EQ(mem::Entries(List()), one);
  });
  ASSERT_EQ(RunKalvane(Path("two.ost")), 0);
}

}  // namespace
