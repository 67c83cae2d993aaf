// The list operations of the in-memory backend, which the document code
// relies on behaving like a native single-selection list.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "toolkit/memory/memory_driver.h"
#include "toolkit/tovi.h"

namespace {

using tovi::memory::Caret;
using tovi::memory::Entries;
using tovi::memory::Selection;
using Texts = std::vector<std::string>;

class MemoryList : public ::testing::Test {
 protected:
  void SetUp() override {
    tovi::memory::Reset();
    window = ToviNewWindow(nullptr, "Test", -1, -1, 400, 300, 0, 0, nullptr, 0);
    list = ToviAddListBox(window, 0, 0, 4);
  }
  void TearDown() override { tovi::memory::Reset(); }

  void Fill(const Texts& texts) {
    for (const std::string& text : texts) ToviListBox_AddItem(list, -1, text);
  }

  HWND window = nullptr;
  HWND list = nullptr;
};

TEST_F(MemoryList, AddItemAppendsInsertsAndRefusesOutOfRange) {
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "b"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, 1, "d"), 1);  // == count appends
  EXPECT_EQ(ToviListBox_AddItem(list, 0, "a"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, 2, "c"), 2);
  EXPECT_EQ(ToviListBox_AddItem(list, -1, ""), 4);  // empty text is an entry
  EXPECT_EQ(Entries(list), (Texts{"a", "b", "c", "d", ""}));

  EXPECT_EQ(ToviListBox_AddItem(list, 6, "x"), -1);
  EXPECT_EQ(ToviListBox_AddItem(list, -2, "x"), -1);
  EXPECT_EQ(ToviListBox_AddItem(list, INT32_MIN, "x"), -1);
  EXPECT_EQ(ToviListBox_GetCount(list), 5);
}

TEST_F(MemoryList, TextIsCopiedAsBytes) {
  std::string bytes("a\0b\xff", 4);
  ToviListBox_AddItem(list, -1, bytes);
  bytes[0] = 'z';
  EXPECT_EQ(ToviListBox_GetItem(list, 0), std::string("a\0b\xff", 4));
}

TEST_F(MemoryList, RemoveItemMovesLaterEntriesUpAndRefusesOutOfRange) {
  Fill({"a", "b", "c"});
  EXPECT_EQ(ToviListBox_RemoveItem(list, 3), kFalse);
  EXPECT_EQ(ToviListBox_RemoveItem(list, -1), kFalse);
  EXPECT_EQ(Entries(list), (Texts{"a", "b", "c"}));
  EXPECT_EQ(ToviListBox_RemoveItem(list, 1), kTrue);
  EXPECT_EQ(Entries(list), (Texts{"a", "c"}));
  EXPECT_EQ(ToviListBox_RemoveItem(list, 1), kTrue);
  EXPECT_EQ(ToviListBox_RemoveItem(list, 0), kTrue);
  EXPECT_EQ(ToviListBox_RemoveItem(list, 0), kFalse);
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
}

TEST_F(MemoryList, GetItemGivesEmptyTextOutOfRange) {
  Fill({"a", "b"});
  EXPECT_EQ(ToviListBox_GetItem(list, 0), "a");
  EXPECT_EQ(ToviListBox_GetItem(list, 1), "b");
  EXPECT_EQ(ToviListBox_GetItem(list, 2), "");
  EXPECT_EQ(ToviListBox_GetItem(list, -1), "");
}

TEST_F(MemoryList, GetIndexComparesWholeTextsIgnoringAsciiCase) {
  Fill({"Report", "report", "Rep", "REPORTS", "Ärger", "", "x"});
  EXPECT_EQ(ToviListBox_GetIndex(list, "REPORT"), 0);  // the first match
  EXPECT_EQ(ToviListBox_GetIndex(list, "report"), 0);
  EXPECT_EQ(ToviListBox_GetIndex(list, "rep"), 2);  // whole texts only
  EXPECT_EQ(ToviListBox_GetIndex(list, "Reports"), 3);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Repo"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Report "), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Ärger"), 4);
  EXPECT_EQ(ToviListBox_GetIndex(list, "äRGER"), -1);  // only ASCII folds
  EXPECT_EQ(ToviListBox_GetIndex(list, ""), 5);
  EXPECT_EQ(ToviListBox_GetIndex(list, "X"), 6);
  // Letters fold; the punctuation between 'Z' and 'a' does not.
  ToviListBox_Clear(list);
  Fill({"[", "@"});
  EXPECT_EQ(ToviListBox_GetIndex(list, "{"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "`"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "["), 0);
}

TEST_F(MemoryList, GetIndexFindsTheEarlierEntryAfterMoves) {
  Fill({"b", "A", "a"});
  ToviListBox_RemoveItem(list, 1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "A"), 1);
  ToviListBox_AddItem(list, 0, "a");
  EXPECT_EQ(ToviListBox_GetIndex(list, "A"), 0);
}

TEST_F(MemoryList, SelectionIsSingleAndOutOfRangeClearsIt) {
  Fill({"a", "b", "c"});
  std::vector<int32_t> positions{99, 98};  // replaced, not appended to
  EXPECT_EQ(ToviListBox_GetSelection(list, positions), 0);
  EXPECT_TRUE(positions.empty());

  ToviListBox_SetSelection(list, {2, 0});
  EXPECT_EQ(ToviListBox_GetSelection(list, positions), 1);
  EXPECT_EQ(positions, (std::vector<int32_t>{2}));
  EXPECT_EQ(Caret(list), 2);  // the selected entry takes the focus mark

  ToviListBox_SetSelection(list, {3});
  EXPECT_EQ(Selection(list), -1);
  ToviListBox_SetSelection(list, {1});
  ToviListBox_SetSelection(list, {-1});
  EXPECT_EQ(Selection(list), -1);
  ToviListBox_SetSelection(list, {1});
  ToviListBox_SetSelection(list, {});
  EXPECT_EQ(Selection(list), -1);
  ToviListBox_SetSelection(list, {-5});
  EXPECT_EQ(ToviListBox_GetSelection(list, positions), 0);
}

TEST_F(MemoryList, SelectionFollowsItsEntry) {
  Fill({"a", "b", "c", "d"});
  ToviListBox_SetSelection(list, {2});  // "c"
  ToviListBox_AddItem(list, 0, "new");  // before: shifts down
  EXPECT_EQ(Selection(list), 3);
  ToviListBox_AddItem(list, 3, "at");  // at its position: pushes it down
  EXPECT_EQ(Selection(list), 4);
  ToviListBox_AddItem(list, -1, "end");  // after: stays
  EXPECT_EQ(Selection(list), 4);
  EXPECT_EQ(ToviListBox_GetItem(list, Selection(list)), "c");
  ToviListBox_RemoveItem(list, 0);  // before: shifts up
  EXPECT_EQ(Selection(list), 3);
  ToviListBox_RemoveItem(list, 5);  // after: stays
  EXPECT_EQ(Selection(list), 3);
  EXPECT_EQ(ToviListBox_GetItem(list, Selection(list)), "c");
  EXPECT_EQ(ToviListBox_RemoveItem(list, 9), kFalse);  // refused: stays
  EXPECT_EQ(Selection(list), 3);
  ToviListBox_RemoveItem(list, 3);  // the selected entry: cleared
  EXPECT_EQ(Selection(list), -1);
  EXPECT_EQ(Entries(list), (Texts{"a", "b", "at", "d"}));
}

TEST_F(MemoryList, CaretFollowsItsEntry) {
  Fill({"a", "b", "c"});
  EXPECT_EQ(Caret(list), -1);
  ToviListBox_SetCaret(list, 1);
  EXPECT_EQ(Caret(list), 1);
  EXPECT_EQ(Selection(list), -1);  // the focus mark alone selects nothing
  ToviListBox_SetCaret(list, 3);   // no such entry: unchanged
  EXPECT_EQ(Caret(list), 1);
  ToviListBox_SetCaret(list, -1);
  EXPECT_EQ(Caret(list), 1);
  ToviListBox_AddItem(list, 0, "z");
  EXPECT_EQ(Caret(list), 2);
  ToviListBox_RemoveItem(list, 0);
  EXPECT_EQ(Caret(list), 1);
  ToviListBox_RemoveItem(list, 1);
  EXPECT_EQ(Caret(list), -1);
}

// Exchanging two neighbours the way the document does it: the selection is
// then set explicitly, and the list holds the exchanged texts.
TEST_F(MemoryList, ExchangeByRemoveAndInsertKeepsOtherEntries) {
  Fill({"a", "b", "c", "d"});
  ToviListBox_SetSelection(list, {2});
  std::string first = ToviListBox_GetItem(list, 1);
  std::string second = ToviListBox_GetItem(list, 2);
  ToviListBox_RemoveItem(list, 1);
  ToviListBox_AddItem(list, 1, second);
  ToviListBox_RemoveItem(list, 2);
  ToviListBox_AddItem(list, 2, first);
  EXPECT_EQ(Entries(list), (Texts{"a", "c", "b", "d"}));
  ToviListBox_SetSelection(list, {1});
  EXPECT_EQ(Selection(list), 1);
}

TEST_F(MemoryList, ClearEmptiesEntriesSelectionAndCaret) {
  Fill({"a", "b"});
  ToviListBox_SetSelection(list, {1});
  ToviListBox_SetCaret(list, 0);
  ToviListBox_Clear(list);
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
  EXPECT_EQ(Selection(list), -1);
  EXPECT_EQ(Caret(list), -1);
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "c"), 0);
  EXPECT_EQ(Selection(list), -1);
}

TEST_F(MemoryList, SelectIsAClickOnAnEntry) {
  Fill({"a", "b"});
  tovi::memory::Select(list, 1);
  EXPECT_EQ(Selection(list), 1);
  EXPECT_EQ(Caret(list), 1);
  tovi::memory::Select(list, -1);
  EXPECT_EQ(Selection(list), -1);
  EnableWindow(list, 0);  // a disabled list takes no clicks
  tovi::memory::Select(list, 0);
  EXPECT_EQ(Selection(list), -1);
}

TEST_F(MemoryList, ListsAreFoundByIdentifierAndKeptApart) {
  HWND other = ToviAddListBox(window, 0, 0, 100);
  EXPECT_EQ(GetDlgItem(window, 4), list);
  EXPECT_EQ(GetDlgItem(window, 100), other);
  EXPECT_EQ(GetDlgItem(window, 5), nullptr);
  ToviListBox_AddItem(list, -1, "mine");
  EXPECT_EQ(ToviListBox_GetCount(other), 0);
  EXPECT_TRUE(tovi::memory::IsList(list));
  EXPECT_EQ(tovi::memory::ControlId(other), 100);
}

TEST_F(MemoryList, HandlesThatAreNoListAreRefused) {
  std::vector<int32_t> positions;
  EXPECT_EQ(ToviAddListBox(nullptr, 0, 0, 4), nullptr);
  for (HWND bad : {static_cast<HWND>(nullptr), window}) {
    EXPECT_EQ(ToviListBox_AddItem(bad, -1, "a"), -1);
    EXPECT_EQ(ToviListBox_RemoveItem(bad, 0), kFalse);
    EXPECT_EQ(ToviListBox_GetItem(bad, 0), "");
    EXPECT_EQ(ToviListBox_GetIndex(bad, "a"), -1);
    EXPECT_EQ(ToviListBox_GetCount(bad), 0);
    EXPECT_EQ(ToviListBox_GetSelection(bad, positions), 0);
    ToviListBox_SetSelection(bad, {0});
    ToviListBox_SetCaret(bad, 0);
    ToviListBox_Clear(bad);
  }
  // A handle from before a reset is stale, not a crash.
  tovi::memory::Reset();
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "a"), -1);
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
}

// Random inserts, removes, appends and lookups agree with a plain vector of
// texts and a scan for the first match, including lookups between appends
// and after slots are reused.
TEST_F(MemoryList, AgreesWithASimpleModel) {
  std::mt19937 random(20240601);
  const Texts names{"alpha", "Alpha", "BETA", "beta", "gamma", "", "Gamma "};
  Texts model;
  auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(c));
    return text;
  };
  for (int step = 0; step < 4000; ++step) {
    const std::string& name = names[random() % names.size()];
    int32_t count = static_cast<int32_t>(model.size());
    switch (random() % 6) {
      case 0:
      case 1: {
        ASSERT_EQ(ToviListBox_AddItem(list, -1, name), count);
        model.push_back(name);
        break;
      }
      case 2: {
        int32_t at = static_cast<int32_t>(random() % (model.size() + 1));
        ASSERT_EQ(ToviListBox_AddItem(list, at, name), at);
        model.insert(model.begin() + at, name);
        break;
      }
      case 3: {
        int32_t at = static_cast<int32_t>(random() % (model.size() + 1));
        bool exists = at < count;
        ASSERT_EQ(ToviListBox_RemoveItem(list, at), exists ? kTrue : kFalse);
        if (exists) model.erase(model.begin() + at);
        break;
      }
      default: {
        auto match = std::ranges::find_if(model, [&](const std::string& e) {
          return lower(e) == lower(name);
        });
        int32_t expected = match == model.end()
                               ? -1
                               : static_cast<int32_t>(match - model.begin());
        ASSERT_EQ(ToviListBox_GetIndex(list, name), expected) << step;
      }
    }
    if (step % 1000 == 999) {
      ASSERT_EQ(Entries(list), model);
      ToviListBox_Clear(list);
      model.clear();
      ASSERT_EQ(ToviListBox_GetIndex(list, "alpha"), -1);
    }
  }
}

TEST_F(MemoryList, LargeListsStayFast) {
  // 20,000 entries, then thousands of inserts and removes near the front,
  // where every one shifts the whole list: well under a second.
  for (int32_t i = 0; i < 20000; ++i) {
    ASSERT_EQ(ToviListBox_AddItem(list, -1, "Item " + std::to_string(i)), i);
  }
  ToviListBox_SetSelection(list, {19999});
  for (int32_t i = 0; i < 5000; ++i) {
    ToviListBox_AddItem(list, i % 7, "x");
    ToviListBox_RemoveItem(list, i % 5);
  }
  EXPECT_EQ(ToviListBox_GetCount(list), 20000);
  EXPECT_EQ(ToviListBox_GetItem(list, Selection(list)), "Item 19999");
  EXPECT_EQ(ToviListBox_GetIndex(list, "ITEM 19998"), Selection(list) - 1);
  // Looking names up one by one, as a load of a large file does.
  for (int32_t i = 0; i < 2000; ++i) {
    ASSERT_EQ(ToviListBox_GetIndex(list, "item 1999" + std::to_string(i % 10)),
              Selection(list) - 9 + i % 10);
  }
}

}  // namespace
