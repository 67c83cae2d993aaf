// Windows, buttons, the event loop, dialogs, dragging, layout and Reset of
// the in-memory backend.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "toolkit/memory/memory_driver.h"
#include "toolkit/system.h"
#include "toolkit/tovi.h"

namespace {

namespace memory = tovi::memory;
using tovi::Rect;

struct Call {
  int32_t id;
  int32_t code;
  int32_t extra;
  friend bool operator==(const Call&, const Call&) = default;
};

std::vector<Call> commands;
std::vector<Call> drags;  // id, status, item
int32_t dragBeginAnswer = -1;

int32_t RecordCommand(int32_t id, int32_t code, int32_t extra) {
  commands.push_back({id, code, extra});
  return 0;
}

// Answers like a list that wants every drop except over the dragged entry.
int32_t RecordDrag(int32_t list, int32_t status, int32_t item, int32_t,
                   int32_t) {
  drags.push_back({list, status, item});
  if (status == kDragBegin) return dragBeginAnswer;
  if (status == kDragOver) return item == drags.front().extra ? 0 : -1;
  return 7;
}

class MemoryBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    memory::Reset();
    commands.clear();
    drags.clear();
    dragBeginAnswer = -1;
    ASSERT_EQ(Tovi(), 0);
  }
  void TearDown() override { memory::Reset(); }

  HWND NewWindow(const std::string& title = "Kalvane") {
    return ToviNewWindow(nullptr, title, -1, -1, 400, 300, 0, 0, nullptr, 0);
  }
};

TEST_F(MemoryBackend, WindowsRememberWhatTheyWereGiven) {
  EXPECT_EQ(memory::LastWindow(), nullptr);
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "quorlet");
  HWND window =
      ToviNewWindow(nullptr, "Kalvane", -1, -1, 400, 300, 0, 0, icon, 0);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(memory::LastWindow(), window);
  EXPECT_EQ(memory::Text(window), "Kalvane");
  EXPECT_EQ(memory::ClientSize(window), (Rect{0, 0, 400, 300}));
  EXPECT_EQ(memory::IconName(window), "quorlet");
  EXPECT_EQ(memory::ControlId(window), -1);
  EXPECT_FALSE(memory::IsDisplayed(window));
  EXPECT_FALSE(memory::DialogInterfaceEnabled(window));
  ToviEnableDialogInterface(window, kTrue);
  ToviDisplay(window);
  EXPECT_TRUE(memory::IsDisplayed(window));
  EXPECT_TRUE(memory::DialogInterfaceEnabled(window));
  ToviEnableDialogInterface(window, kFalse);
  EXPECT_FALSE(memory::DialogInterfaceEnabled(window));

  HWND other = NewWindow("Listbox dragging demo");
  EXPECT_EQ(memory::LastWindow(), other);
  EXPECT_EQ(memory::IconName(other), "");
}

TEST_F(MemoryBackend, ControlsAreListedAndFoundByIdentifier) {
  HWND window = NewWindow();
  HWND list = ToviAddListBox(window, 0, 0, 4);
  HWND load = ToviAddButton(window, "Load", 0, 3);
  HWND up = ToviAddButton(window, "Up", 0, 0);
  EXPECT_EQ(memory::Controls(window), (std::vector<HWND>{list, load, up}));
  EXPECT_EQ(GetDlgItem(window, 3), load);
  EXPECT_EQ(GetDlgItem(window, 0), up);
  EXPECT_EQ(GetDlgItem(window, 9), nullptr);
  EXPECT_EQ(GetDlgItem(nullptr, 3), nullptr);
  EXPECT_EQ(GetDlgItem(list, 3), nullptr);
  EXPECT_EQ(memory::Text(load), "Load");
  EXPECT_EQ(memory::ControlId(load), 3);
  EXPECT_TRUE(memory::IsButton(load));
  EXPECT_FALSE(memory::IsList(load));
  EXPECT_FALSE(memory::IsButton(window));
  EXPECT_EQ(ToviAddButton(nullptr, "Lost", 0, 1), nullptr);
  EXPECT_EQ(ToviAddButton(list, "In a list", 0, 1), nullptr);
  // Controls of another window stay apart.
  HWND other = NewWindow();
  EXPECT_EQ(GetDlgItem(other, 3), nullptr);
  EXPECT_TRUE(memory::Controls(other).empty());
}

TEST_F(MemoryBackend, EnableWindowReportsWhetherTheControlWasDisabled) {
  HWND window = NewWindow();
  HWND save = ToviAddButton(window, "Save", 0, 2);
  EXPECT_TRUE(memory::IsEnabled(save));
  EXPECT_EQ(EnableWindow(save, 0), 0);
  EXPECT_FALSE(memory::IsEnabled(save));
  EXPECT_NE(EnableWindow(save, 0), 0);
  EXPECT_NE(EnableWindow(save, kTrue), 0);  // -1 enables, as any non-zero
  EXPECT_TRUE(memory::IsEnabled(save));
  EXPECT_EQ(EnableWindow(save, 1), 0);
  EXPECT_EQ(EnableWindow(nullptr, 0), 0);
  EXPECT_FALSE(memory::IsEnabled(nullptr));
}

TEST_F(MemoryBackend, OnlyEnabledButtonsIssueCommands) {
  HWND window = NewWindow();
  HWND list = ToviAddListBox(window, 0, 0, 4);
  HWND save = ToviAddButton(window, "Save", 0, 2);
  ToviAddButton(window, "Load", 0, 3);
  EXPECT_FALSE(memory::Click(window, 3));  // no handler yet
  ToviRegOnCommand(window, RecordCommand);

  EXPECT_TRUE(memory::Click(window, 3));
  EXPECT_EQ(commands, (std::vector<Call>{{3, 0, 0}}));
  EnableWindow(save, 0);
  EXPECT_FALSE(memory::Click(window, 2));
  EXPECT_FALSE(memory::Click(window, 4));  // a list is no button
  EXPECT_FALSE(memory::Click(window, 8));
  EXPECT_FALSE(memory::Click(list, 3));
  EXPECT_EQ(commands.size(), 1u);
  EnableWindow(save, kTrue);
  EXPECT_TRUE(memory::Click(window, 2));
  EXPECT_EQ(commands.back(), (Call{2, 0, 0}));

  // A handler registered for another window does not see these clicks.
  HWND other = NewWindow();
  ToviAddButton(other, "Up", 0, 0);
  EXPECT_FALSE(memory::Click(other, 0));
  EXPECT_EQ(commands.size(), 2u);
}

TEST_F(MemoryBackend, EventLoopRunsItsScriptOnce) {
  HWND window = NewWindow();
  ToviAddButton(window, "Load", 0, 3);
  ToviRegOnCommand(window, RecordCommand);
  EXPECT_EQ(ToviDoEvents(0), 0);  // no script: returns at once
  int runs = 0;
  memory::SetEventLoop([&] {
    ++runs;
    memory::Click(window, 3);
    // What a later loop does can be set from within one.
    memory::SetEventLoop([&] { runs += 10; });
  });
  EXPECT_EQ(ToviDoEvents(0), 0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(commands.size(), 1u);
  EXPECT_EQ(ToviDoEvents(0), 0);
  EXPECT_EQ(runs, 11);
  EXPECT_EQ(ToviDoEvents(0), 0);
  EXPECT_EQ(runs, 11);
}

TEST_F(MemoryBackend, FileDialogsAnswerFromTheQueueAndAreRecorded) {
  HWND window = NewWindow();
  const char kFilter[] = "Ostrel source files (*.ost)\0*.ost\0";
  const std::string filter(kFilter, sizeof kFilter);  // with the last NUL
  memory::AnswerNextDialog("/tmp/a.ost");
  memory::AnswerNextDialog("");
  memory::AnswerNextDialog("/tmp/b.ost");
  EXPECT_EQ(ToviDialog_OpenFile(window, "Open", filter, "", 0), "/tmp/a.ost");
  EXPECT_EQ(ToviDialog_SaveFile(window, "Save as...", filter, "a.ost", kTrue),
            "");
  EXPECT_EQ(ToviDialog_SaveFile(window, "Save as...", filter, "", kTrue),
            "/tmp/b.ost");
  EXPECT_EQ(ToviDialog_OpenFile(window, "Open", filter, "", 0), "");  // none

  const std::vector<memory::DialogRecord>& dialogs = memory::Dialogs();
  ASSERT_EQ(dialogs.size(), 4u);
  EXPECT_FALSE(dialogs[0].save);
  EXPECT_EQ(dialogs[0].parent, window);
  EXPECT_EQ(dialogs[0].title, "Open");
  EXPECT_EQ(dialogs[0].filter, filter);  // embedded NULs kept
  EXPECT_EQ(dialogs[0].flags, 0);
  EXPECT_TRUE(dialogs[1].save);
  EXPECT_EQ(dialogs[1].title, "Save as...");
  EXPECT_EQ(dialogs[1].initialName, "a.ost");
  EXPECT_EQ(dialogs[1].flags, kTrue);
  EXPECT_FALSE(dialogs[3].save);
}

TEST_F(MemoryBackend, MessageBoxesAreRecordedAndAnsweredWithOk) {
  HWND window = NewWindow();
  EXPECT_EQ(MessageBoxA(window, "Cannot open file", "Error", MB_ICONERROR),
            IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDOK);
  const std::vector<memory::MessageBoxRecord>& boxes = memory::MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, window);
  EXPECT_EQ(boxes[0].text, "Cannot open file");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].style, MB_ICONERROR);
  EXPECT_EQ(boxes[1].text, "");
}

TEST_F(MemoryBackend, IconsAndModules) {
  HMODULE program = GetModuleHandleA(nullptr);
  EXPECT_NE(program, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), program);
  EXPECT_EQ(GetModuleHandleA("comctl32.dll"), nullptr);
  HICON icon = LoadIconA(program, "quorlet");
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(program, "quorlet"), icon);
  EXPECT_NE(LoadIconA(program, "other"), icon);
  EXPECT_EQ(LoadIconA(program, ""), nullptr);
  EXPECT_EQ(LoadIconA(program, nullptr), nullptr);
}

class MemoryDrag : public MemoryBackend {
 protected:
  void SetUp() override {
    MemoryBackend::SetUp();
    window = NewWindow("Listbox dragging demo");
    list = ToviAddListBox(window, 0, 0, 100);
    for (int i = 0; i < 6; ++i) {
      ToviListBox_AddItem(list, -1, "Item " + std::to_string(i));
    }
    ToviListBox_EnableDragging(list);
    ToviRegOnDrag(window, RecordDrag);
  }
  HWND window = nullptr;
  HWND list = nullptr;
};

TEST_F(MemoryDrag, PassesOverEveryPositionOnTheWayAndDrops) {
  EXPECT_TRUE(memory::DraggingEnabled(list));
  memory::DragOutcome down = memory::Drag(list, 1, 4);
  EXPECT_EQ(drags, (std::vector<Call>{{100, kDragBegin, 1},
                                      {100, kDragOver, 1},
                                      {100, kDragOver, 2},
                                      {100, kDragOver, 3},
                                      {100, kDragOver, 4},
                                      {100, kDragDrop, 4}}));
  EXPECT_EQ(down.beginResult, -1);
  EXPECT_EQ(down.overResults, (std::vector<int32_t>{0, -1, -1, -1}));
  EXPECT_EQ(down.dropResult, 7);

  drags.clear();
  memory::DragOutcome up = memory::Drag(list, 3, 1);
  EXPECT_EQ(drags, (std::vector<Call>{{100, kDragBegin, 3},
                                      {100, kDragOver, 3},
                                      {100, kDragOver, 2},
                                      {100, kDragOver, 1},
                                      {100, kDragDrop, 1}}));
  EXPECT_EQ(up.overResults, (std::vector<int32_t>{0, -1, -1}));

  drags.clear();
  memory::DragOutcome onItself = memory::Drag(list, 2, 2);
  EXPECT_EQ(drags.size(), 3u);
  EXPECT_EQ(onItself.overResults, (std::vector<int32_t>{0}));
}

TEST_F(MemoryDrag, DropWhereThereIsNoEntry) {
  memory::DragOutcome outcome = memory::Drag(list, 5, -1);
  EXPECT_EQ(drags, (std::vector<Call>{{100, kDragBegin, 5},
                                      {100, kDragOver, 5},
                                      {100, kDragDrop, -1}}));
  EXPECT_EQ(outcome.overResults.size(), 1u);
  drags.clear();
  memory::Drag(list, -1, 2);  // begun where there is no entry
  EXPECT_EQ(drags, (std::vector<Call>{{100, kDragBegin, -1},
                                      {100, kDragOver, -1},
                                      {100, kDragDrop, 2}}));
}

TEST_F(MemoryDrag, RefusedBeginStopsTheDrag) {
  dragBeginAnswer = 0;
  memory::DragOutcome outcome = memory::Drag(list, 1, 3);
  EXPECT_EQ(drags, (std::vector<Call>{{100, kDragBegin, 1}}));
  EXPECT_EQ(outcome.beginResult, 0);
  EXPECT_TRUE(outcome.overResults.empty());
  EXPECT_EQ(outcome.dropResult, 0);
}

// A handler that throws (memory can run out anywhere) has done nothing and
// answers 0; the exception stops in the backend, as on every backend.
TEST_F(MemoryDrag, HandlersThatThrowStopInTheBackend) {
  ToviAddButton(window, "Load", 0, 3);
  ToviRegOnCommand(window, [](int32_t, int32_t, int32_t) -> int32_t {
    throw std::bad_alloc();
  });
  ToviRegOnDrag(window,
                [](int32_t, int32_t, int32_t, int32_t, int32_t) -> int32_t {
                  throw std::bad_alloc();
                });
  bool clicked = false;
  EXPECT_NO_THROW(clicked = memory::Click(window, 3));
  EXPECT_TRUE(clicked);
  memory::DragOutcome outcome{-1, {}, -1};
  EXPECT_NO_THROW(outcome = memory::Drag(list, 1, 3));
  EXPECT_EQ(outcome.beginResult, 0);
  EXPECT_TRUE(outcome.overResults.empty());
}

TEST_F(MemoryDrag, NoDragWhereNoneCanHappen) {
  HWND still = ToviAddListBox(window, 0, 0, 101);
  ToviListBox_AddItem(still, -1, "a");
  ToviListBox_AddItem(still, -1, "b");
  std::vector<memory::DragOutcome> outcomes{
      memory::Drag(still, 0, 1),  // dragging never enabled
      memory::Drag(list, 0, 6),   // no entry 6
      memory::Drag(list, 7, 0),    memory::Drag(list, -2, 0),
      memory::Drag(nullptr, 0, 1),
  };
  EnableWindow(list, 0);
  outcomes.push_back(memory::Drag(list, 0, 1));  // disabled
  EnableWindow(list, kTrue);
  HWND lone = NewWindow();
  HWND unhandled = ToviAddListBox(lone, 0, 0, 1);
  ToviListBox_AddItem(unhandled, -1, "a");
  ToviListBox_EnableDragging(unhandled);
  outcomes.push_back(memory::Drag(unhandled, 0, 0));  // no handler
  EXPECT_FALSE(memory::DraggingEnabled(still));
  EXPECT_TRUE(drags.empty());
  for (const memory::DragOutcome& outcome : outcomes) {
    EXPECT_EQ(outcome.beginResult, 0);
    EXPECT_TRUE(outcome.overResults.empty());
    EXPECT_EQ(outcome.dropResult, 0);
  }
}

TEST_F(MemoryBackend, ControlsFollowTheLayoutWhenResized) {
  HWND window = NewWindow();
  ToviSeries row = ToviNewAutoSizerSeries(kSeriesSideBySide);
  HWND list = ToviAddListBox(window, 0, 0, 4);
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 27, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviAutoSizer_SetInfo(row, kMainSeries, 2, 25, 0, 0, 1, 1, kItemIsSeries);
  HWND load = ToviAddButton(window, "Load", 0, 3);
  HWND save = ToviAddButton(window, "Save", 0, 2);
  ToviAutoSizer_SetInfo(load, row, 0, 0.5, 0, 0, 1, 1, 0);
  ToviAutoSizer_SetInfo(save, row, 0, 0.5, 0, 0, 1, 1, 0);
  HWND unplaced = ToviAddButton(window, "Up", 0, 0);

  EXPECT_EQ(memory::Bounds(list), (Rect{0, 0, 400, 273}));
  EXPECT_EQ(memory::Bounds(save), (Rect{200, 275, 200, 25}));
  EXPECT_EQ(memory::Bounds(unplaced), (Rect{}));
  EXPECT_EQ(memory::Bounds(window), (Rect{}));

  memory::Resize(window, 601, 127);
  EXPECT_EQ(memory::ClientSize(window), (Rect{0, 0, 601, 127}));
  EXPECT_EQ(memory::Bounds(list), (Rect{0, 0, 601, 100}));
  EXPECT_EQ(memory::Bounds(load), (Rect{0, 102, 301, 25}));
  EXPECT_EQ(memory::Bounds(save), (Rect{301, 102, 300, 25}));
  memory::Resize(window, -3, 0);
  EXPECT_EQ(memory::ClientSize(window), (Rect{0, 0, 0, 0}));
  EXPECT_EQ(memory::Bounds(list), (Rect{0, 0, 0, 0}));
}

TEST_F(MemoryBackend, ResetForgetsEverything) {
  HWND window = NewWindow();
  HWND list = ToviAddListBox(window, 0, 0, 4);
  ToviAddButton(window, "Load", 0, 3);
  ToviRegOnCommand(window, RecordCommand);
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 1, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviListBox_AddItem(list, -1, "a");
  memory::AnswerNextDialog("/tmp/queued.ost");
  MessageBoxA(window, "text", "caption", MB_OK);
  ToviDialog_OpenFile(window, "Open", "", "", 0);
  memory::AnswerNextDialog("/tmp/still-queued.ost");
  memory::SetEventLoop([] { FAIL() << "a script from before the reset ran"; });

  memory::Reset();
  EXPECT_EQ(memory::LastWindow(), nullptr);
  EXPECT_TRUE(memory::Dialogs().empty());
  EXPECT_TRUE(memory::MessageBoxes().empty());
  EXPECT_EQ(ToviDialog_OpenFile(nullptr, "Open", "", "", 0), "");
  EXPECT_EQ(ToviDoEvents(0), 0);
  EXPECT_EQ(ToviAutoSizer_GetMainSeries(window), 0);
  EXPECT_EQ(ToviAutoSizer_SetInfo(list, kMainSeries, 0, 1, 0, 0, 1, 1, 0),
            kFalse);
  // Old handles are stale: refused, not followed.
  EXPECT_EQ(GetDlgItem(window, 4), nullptr);
  EXPECT_FALSE(memory::Click(window, 3));
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
  EXPECT_EQ(memory::Text(window), "");
  EXPECT_TRUE(commands.empty());

  // And the backend works as new.
  HWND fresh = NewWindow("Again");
  EXPECT_EQ(memory::LastWindow(), fresh);
  EXPECT_NE(ToviAutoSizer_GetMainSeries(fresh), 0);
}

}  // namespace
