// Up and Down: declaration lines, blocks, records and list entries change
// places together, and the selection follows.
#include <functional>

#include "document/natural_order.h"
#include "tests/allocation_limit.h"
#include "tests/document/document_fixture.h"
#include "toolkit/memory/memory_driver.h"

namespace {

using Strings = std::vector<std::string>;

// Blocks of different lengths, comments in front of one, a declaration with
// another terminator, and a tail without a final terminator.
const std::string kDeclA = "DECLARE FUNCTION A ()\n";
const std::string kDeclB = "DECLARE FUNCTION B ()\n";
const std::string kDeclC = "DECLARE FUNCTION C ()\r\n";
const std::string kDeclD = "DECLARE FUNCTION D ()\n";
const std::string kBodyA = "FUNCTION A ()\n a\nEND FUNCTION\n";
const std::string kBodyB = "' about b\nFUNCTION B ()\n b1\n b2\nEND FUNCTION\n";
const std::string kBodyC = "FUNCTION C ()\nEND FUNCTION\n";
const std::string kBodyD = "FUNCTION D ()\n d\nEND FUNCTION\n";
const std::string kTail = "' tail";

class Moves : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    Load(kDeclA + kDeclB + kDeclC + kDeclD + kBodyA + kBodyB + kBodyC + kBodyD +
         kTail);
    original = Saved();
  }
  int32_t Selection() const { return tovi::memory::Selection(list); }
  std::string original;
};

// A list short of memory refuses an entry, or throws from inside the
// toolkit, on any entry a step gives it. Every move, exchange, undo, redo
// and sort then either happens whole or leaves bytes, entries and selection
// as they were, and nothing throws into the toolkit callback that ran it.
TEST_F(Moves, ListShortOfMemoryTakesTheWholeStepOrNone) {
  struct Step {
    std::function<void()> before;
    std::function<void()> step;
  };
  const auto move = [&](int32_t from, int32_t to) {
    return [=, this] { MoveFunction(doc, list, from, to); };
  };
  const Step steps[] = {
      {[] {}, move(0, 3)},
      {[&] { Select(1); }, [&] { MoveFunctionDown(doc, list); }},
      {[&] { Select(2); }, [&] { MoveFunctionToTop(doc, list); }},
      {move(1, 3), [&] { UndoMove(doc, list); }},
      {move(3, 0), [&] { SortFunctionsByName(doc, list); }},
      {[&] {
         move(3, 0)();
         SortFunctionsByName(doc, list);
         UndoMove(doc, list);
       },
       [&] { RedoMove(doc, list); }},
      {[] {},
       [&] {
         if (ExchangeListEntries(list, 1, 2)) ExchangeFunctions(doc, 1, 2);
       }},
  };
  for (const auto how : {tovi::memory::EntryFailure::kRefuse,
                         tovi::memory::EntryFailure::kThrow}) {
    for (int32_t accepted = 0; accepted <= 8; ++accepted) {
      for (size_t n = 0; n < std::size(steps); ++n) {
        SCOPED_TRACE(testing::Message()
                     << "step " << n << " after " << accepted << " entries");
        SetUp();
        steps[n].before();
        const std::string bytes = Saved();
        const Strings entries = Entries();
        const int32_t selection = Selection();
        tovi::memory::FailEntry(list, accepted, how);
        EXPECT_NO_THROW(steps[n].step());
        tovi::memory::FailEntry(list, -1, how);
        // Every step needs its first entry; none needs more than eight.
        const bool changed = Saved() != bytes;
        if (accepted == 0) {
          EXPECT_FALSE(changed);
        } else if (accepted == 8) {
          EXPECT_TRUE(changed);
        }
        if (!changed) {
          EXPECT_EQ(Entries(), entries);
          EXPECT_EQ(Selection(), selection);
        }
        for (int32_t k = 0; k <= doc.lastFunction; ++k) {
          EXPECT_EQ(doc.Text(doc.functions[k].declLine),
                    "DECLARE FUNCTION " + Entries()[k] + " ()");
        }
      }
    }
  }
}

// Once the list has moved, a far move allocates nothing more: memory
// running out then cannot leave the document half moved.
TEST_F(DocumentTest, FarMoveNeedsNoMemoryOnceTheListMoved) {
  std::string decls;
  std::string bodies;
  for (int k = 0; k < 2000; ++k) {
    decls += "DECLARE FUNCTION F" + std::to_string(k) + " ()\n";
    bodies += "FUNCTION F" + std::to_string(k) + " ()\nEND FUNCTION\n";
  }
  Load(decls + bodies);
  const std::string loaded = Saved();
  testing_support::LimitAllocations(4000);
  ToviBool moved = kFalse;
  EXPECT_NO_THROW(moved = MoveFunction(doc, list, 0, 1999));
  testing_support::LimitAllocations(0);
  EXPECT_EQ(moved, kTrue);
  EXPECT_EQ(Entries().back(), "F0");
  EXPECT_EQ(UndoMove(doc, list), kTrue);
  EXPECT_EQ(Saved(), loaded);
}

TEST_F(Moves, RefusedMovesChangeNothing) {
  Select(1);
  MoveFunctionUp(doc, list);  // the second function never moves up
  EXPECT_EQ(Selection(), 1);
  Select(3);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Selection(), 3);
  Select(-1);
  MoveFunctionUp(doc, list);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Saved(), original);
  EXPECT_EQ(Entries(), (Strings{"A", "B", "C", "D"}));
  EXPECT_EQ(ExchangeFunctions(doc, 1, 1), kFalse);
  EXPECT_EQ(ExchangeFunctions(doc, 2, 1), kFalse);
  EXPECT_EQ(ExchangeFunctions(doc, 3, 4), kFalse);
  EXPECT_EQ(ExchangeFunctions(doc, 0, 2), kFalse);  // neighbours only
  EXPECT_EQ(Saved(), original);
}

TEST_F(Moves, UpExchangesLongerBlockWithShorterOne) {
  Select(2);
  MoveFunctionUp(doc, list);
  EXPECT_EQ(Entries(), (Strings{"A", "C", "B", "D"}));
  EXPECT_EQ(Selection(), 1);
  // The declaration keeps its own terminator as it moves.
  EXPECT_EQ(Saved(), kDeclA + kDeclC + kDeclB + kDeclD + kBodyA + kBodyC +
                         kBodyB + kBodyD + kTail + "\n");
  EXPECT_EQ(doc.functions[1], (FunctionRecord{1, 7, 8}));
  EXPECT_EQ(doc.functions[2], (FunctionRecord{2, 9, 13}));
}

TEST_F(Moves, DownOnTheFirstMakesItSecond) {
  Select(0);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Entries(), (Strings{"B", "A", "C", "D"}));
  EXPECT_EQ(Selection(), 1);
  EXPECT_EQ(Texts()[0], "DECLARE FUNCTION B ()");
  EXPECT_EQ(Texts()[4], "' about b");
  EXPECT_EQ(Texts()[9], "FUNCTION A ()");
}

TEST_F(Moves, UpThenDownRestoresTheExactBytes) {
  for (int32_t p = 2; p <= 3; ++p) {
    Select(p);
    MoveFunctionUp(doc, list);
    MoveFunctionDown(doc, list);
    EXPECT_EQ(Saved(), original) << p;
    EXPECT_EQ(Selection(), p);
  }
  for (int32_t p = 0; p <= 2; ++p) {
    Select(p);
    MoveFunctionDown(doc, list);
    EXPECT_NE(Saved(), original);
    if (p + 1 >= 2) {
      MoveFunctionUp(doc, list);
    } else {
      Select(0);
      MoveFunctionDown(doc, list);
    }
    EXPECT_EQ(Saved(), original) << p;
  }
  EXPECT_EQ(Entries(), (Strings{"A", "B", "C", "D"}));
}

TEST_F(Moves, FarExchangeShiftsTheBlocksBetween) {
  // A (three lines) and C (two) exchanged by two far moves: B's block
  // between them moves up one line.
  ASSERT_EQ(MoveFunction(doc, list, 0, 2), kTrue);
  ASSERT_EQ(MoveFunction(doc, list, 1, 0), kTrue);
  EXPECT_EQ(doc.functions,
            (std::vector<FunctionRecord>{
                {0, 4, 5}, {1, 6, 10}, {2, 11, 13}, {3, 14, 16}}));
  EXPECT_EQ(doc.Text(doc.functions[1].firstLine + 1), "FUNCTION B ()");
  Select(1);
  MoveFunctionDown(doc, list);
  Select(3);
  MoveFunctionUp(doc, list);
  EXPECT_EQ(Entries(), (Strings{"C", "A", "D", "B"}));
  EXPECT_EQ(doc.Text(doc.functions[3].firstLine), "' about b");
  EXPECT_EQ(doc.Text(doc.functions[2].firstLine), "FUNCTION D ()");
  EXPECT_EQ(doc.Text(doc.functions[2].declLine), "DECLARE FUNCTION D ()");
}

TEST_F(DocumentTest, EmptyEntriesAreExchangedToo) {
  Load(
      "DECLARE FUNCTION First()\n"
      "DECLARE FUNCTION Second ()\n"
      "FUNCTION First()\n"
      "END FUNCTION\n"
      "FUNCTION Second ()\n"
      " s\n"
      "END FUNCTION\n");
  ASSERT_EQ(Entries(), (Strings{"", "Second"}));
  Select(0);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Entries(), (Strings{"Second", ""}));
  EXPECT_EQ(tovi::memory::Selection(list), 1);
  EXPECT_EQ(doc.Text(doc.functions[0].declLine), "DECLARE FUNCTION Second ()");
  EXPECT_EQ(doc.Text(doc.functions[1].firstLine), "FUNCTION First()");
}

TEST_F(DocumentTest, ListExchangeTakesOnlyNeighbours) {
  Load("DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nDECLARE FUNCTION C ()\n");
  EXPECT_EQ(ExchangeListEntries(list, 0, 2), kFalse);
  EXPECT_EQ(ExchangeListEntries(list, -1, 0), kFalse);
  EXPECT_EQ(ExchangeListEntries(list, 2, 3), kFalse);
  EXPECT_EQ(Entries(), (Strings{"A", "B", "C"}));
  EXPECT_EQ(ExchangeListEntries(list, 1, 0), kTrue);
  EXPECT_EQ(Entries(), (Strings{"B", "A", "C"}));
}

TEST(NaturalOrder, NumbersByValueLettersWithoutCase) {
  EXPECT_TRUE(NaturalNameLess("Item2", "Item10"));
  EXPECT_FALSE(NaturalNameLess("Item10", "Item2"));
  EXPECT_TRUE(NaturalNameLess("alpha", "Beta"));
  EXPECT_TRUE(NaturalNameLess("Item9x", "item09y"));
  EXPECT_TRUE(NaturalNameLess("", "a"));
  EXPECT_TRUE(NaturalNameLess("a", "a0"));
  EXPECT_TRUE(NaturalNameLess("a9", "a_"));  // '_' is above digits, as a byte
  EXPECT_TRUE(
      NaturalNameLess("n99999999999999999999", "n100000000000000000000"));
  // Equal names, neither before the other.
  for (const auto& [a, b] :
       {std::pair{"item", "ITEM"}, {"Item007", "item7"}, {"x0", "x000"}}) {
    EXPECT_FALSE(NaturalNameLess(a, b)) << a << " " << b;
    EXPECT_FALSE(NaturalNameLess(b, a)) << a << " " << b;
  }
}

// Sorting is one step: equal names keep their order, the selected function
// stays selected, and one undo gives back bytes, entries and selection.
TEST_F(DocumentTest, SortByNameIsOneStep) {
  Load(
      "DECLARE FUNCTION Item10 ()\nDECLARE FUNCTION item2 ()\n"
      "DECLARE FUNCTION Beta ()\nDECLARE FUNCTION Item02 ()\n"
      "FUNCTION Item10 ()\nEND FUNCTION\nFUNCTION item2 ()\nEND FUNCTION\n"
      "FUNCTION Beta ()\nEND FUNCTION\nFUNCTION Item02 ()\nEND FUNCTION\n");
  const std::string loaded = Saved();
  Select(2);
  ASSERT_EQ(SortFunctionsByName(doc, list), kTrue);
  EXPECT_EQ(Entries(), (Strings{"Beta", "item2", "Item02", "Item10"}));
  EXPECT_EQ(tovi::memory::Selection(list), 0);
  EXPECT_EQ(Texts()[4], "FUNCTION Beta ()");
  EXPECT_FALSE(SortWouldChangeOrder(doc, list));
  ASSERT_EQ(UndoMove(doc, list), kTrue);
  EXPECT_EQ(Saved(), loaded);
  EXPECT_EQ(tovi::memory::Selection(list), 2);

  // Names sort by their bytes in the file, whatever text the list hands
  // back for them: a NUL, a byte of an 8-bit code page, UTF-8.
  const std::string decl = "DECLARE FUNCTION ";
  const Strings sorted{decl + std::string("A\0B ()", 6), decl + "A_B ()",
                       decl + std::string("\x9E") + "eta ()",
                       decl + "\xC3\x89mile ()"};
  Load(sorted[3] + "\n" + sorted[1] + "\n" + sorted[2] + "\n" + sorted[0] +
       "\n");
  EXPECT_TRUE(SortWouldChangeOrder(doc, list));
  ASSERT_EQ(SortFunctionsByName(doc, list), kTrue);
  EXPECT_EQ(Texts(), sorted);
  EXPECT_FALSE(SortWouldChangeOrder(doc, list));
}

}  // namespace
