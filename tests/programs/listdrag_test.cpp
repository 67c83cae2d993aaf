// listdrag as a whole program on the in-memory backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>

#include "dragdemo/listdrag.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace mem = tovi::memory;

std::string Label(int n) {
  return "Item  " + std::to_string(n);
}

// The label numbers of the first `count` entries.
std::vector<int> Order(HWND list, size_t count) {
  std::vector<int> numbers;
  std::vector<std::string> entries = mem::Entries(list);
  for (size_t i = 0; i < count && i < entries.size(); ++i) {
    numbers.push_back(std::stoi(entries[i].substr(entries[i].rfind(' ') + 1)));
  }
  return numbers;
}

// Every label is there exactly once.
void ExpectAllLabelsOnce(HWND list) {
  std::vector<std::string> entries = mem::Entries(list);
  ASSERT_EQ(entries.size(), 100u);
  std::set<std::string> unique(entries.begin(), entries.end());
  EXPECT_EQ(unique.size(), 100u);
  for (int i = 1; i <= 100; ++i) EXPECT_EQ(unique.count(Label(i)), 1u) << i;
}

void RunWithUser(const std::function<void(HWND window, HWND list)>& user) {
  mem::Reset();
  mem::SetEventLoop([&] {
    HWND window = mem::LastWindow();
    user(window, GetDlgItem(window, kDragList));
  });
  ASSERT_EQ(RunListdrag(), 0);
}

TEST(NumberText, SignThenDigits) {
  EXPECT_EQ(NumberText(0), " 0");
  EXPECT_EQ(NumberText(7), " 7");
  EXPECT_EQ(NumberText(100), " 100");
  EXPECT_EQ(NumberText(-7), "-7");
  EXPECT_EQ(NumberText(INT32_MAX), " 2147483647");
  EXPECT_EQ(NumberText(INT32_MIN), "-2147483648");
}

TEST(Listdrag, WindowIsFilledByAHundredLabelledEntries) {
  RunWithUser([](HWND window, HWND list) {
    EXPECT_EQ(mem::Text(window), "Listbox dragging demo");
    EXPECT_EQ(mem::IconName(window), "");
    EXPECT_TRUE(mem::IsDisplayed(window));
    ASSERT_TRUE(mem::IsList(list));
    EXPECT_EQ(mem::Controls(window).size(), 1u);
    EXPECT_TRUE(mem::DraggingEnabled(list));
    EXPECT_EQ(mem::Bounds(list), (tovi::Rect{0, 0, 400, 300}));
    std::vector<std::string> entries = mem::Entries(list);
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_EQ(entries.front(), "Item  1");
    EXPECT_EQ(entries[41], "Item  42");
    EXPECT_EQ(entries.back(), "Item  100");
  });
}

TEST(Listdrag, DropPutsTheEntryInFrontOfTheTarget) {
  RunWithUser([](HWND, HWND list) {
    mem::DragOutcome up = mem::Drag(list, 4, 1);
    EXPECT_EQ(up.beginResult, kTrue);
    // Over its own entry the drop is not wanted; over any other it is.
    EXPECT_EQ(up.overResults, (std::vector<int32_t>{0, -1, -1, -1}));
    EXPECT_EQ(up.dropResult, 0);
    EXPECT_EQ(Order(list, 7), (std::vector<int>{1, 5, 2, 3, 4, 6, 7}));
    EXPECT_EQ(mem::Caret(list), 1);

    mem::Drag(list, 2, 5);  // "2" downwards lands in front of "6"
    EXPECT_EQ(Order(list, 7), (std::vector<int>{1, 5, 3, 4, 2, 6, 7}));
    EXPECT_EQ(mem::Caret(list), 4);
    ExpectAllLabelsOnce(list);
  });
}

TEST(Listdrag, DropsThatChangeNothing) {
  RunWithUser([](HWND, HWND list) {
    std::vector<std::string> before = mem::Entries(list);
    mem::Drag(list, 3, 3);  // onto itself
    mem::Drag(list, 3, 4);  // onto the entry just below
    EXPECT_EQ(mem::Drag(list, 3, -1).dropResult, kTrue);  // onto no entry
    EXPECT_EQ(mem::Entries(list), before);
  });
}

TEST(Listdrag, NothingLandsAfterTheLastEntry) {
  RunWithUser([](HWND, HWND list) {
    mem::Drag(list, 0, 99);
    std::vector<std::string> entries = mem::Entries(list);
    EXPECT_EQ(entries[98], "Item  1");
    EXPECT_EQ(entries[99], "Item  100");
    ExpectAllLabelsOnce(list);
  });
}

TEST(Listdrag, StrayDragsNeverReachOutsideTheList) {
  RunWithUser([](HWND, HWND list) {
    std::vector<std::string> before = mem::Entries(list);
    // A drag begun on no entry, positions past either end, a second drop
    // after a finished drag, and statuses the handler does not know.
    EXPECT_EQ(OnDrag(kDragList, kDragBegin, -1, 0, 0), kFalse);
    EXPECT_EQ(OnDrag(kDragList, kDragDrop, 3, 0, 0), 0);
    OnDrag(kDragList, kDragBegin, 500, 0, 0);
    OnDrag(kDragList, kDragDrop, 3, 0, 0);
    OnDrag(kDragList, kDragBegin, 3, 0, 0);
    OnDrag(kDragList, kDragDrop, 100, 0, 0);
    OnDrag(kDragList, kDragBegin, 3, 0, 0);
    OnDrag(kDragList, kDragDrop, INT32_MIN, 0, 0);
    OnDrag(kDragList, kDragDrop, 5, 0, 0);
    EXPECT_EQ(OnDrag(kDragList, 7, 3, 0, 0), 0);
    EXPECT_EQ(OnDrag(kDragList, -1, 3, 0, 0), 0);
    EXPECT_EQ(mem::Entries(list), before);
  });
}

}  // namespace
