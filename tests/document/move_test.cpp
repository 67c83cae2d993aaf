// Up and Down: declaration lines, blocks, records and list entries change
// places together, and the selection follows.
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

// The list gives up an entry for a moment during an exchange; when it will
// not take it back (the first or the second re-insertion), neither the
// document nor the list changes.
TEST_F(Moves, RefusedListExchangeChangesNothing) {
  const Strings entries = Entries();
  for (int32_t accepted : {0, 1}) {
    Select(1);
    tovi::memory::FailEntry(list, accepted,
                            tovi::memory::EntryFailure::kRefuse);
    MoveFunctionDown(doc, list);
    EXPECT_EQ(Saved(), original) << accepted;
    EXPECT_EQ(Entries(), entries) << accepted;
  }
  tovi::memory::FailEntry(list, 0, tovi::memory::EntryFailure::kRefuse);
  EXPECT_EQ(MoveFunction(doc, list, 0, 3), kFalse);
  EXPECT_EQ(Saved(), original);
  EXPECT_EQ(Entries(), entries);
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
  // A (three lines) and C (two): B's block between them moves up one line.
  ASSERT_EQ(ExchangeFunctions(doc, 0, 2), kTrue);
  ASSERT_EQ(ExchangeListEntries(list, 0, 2), kTrue);
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

TEST_F(DocumentTest, ListExchangeRefusesOnlyMissingPositions) {
  Load("DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n");
  EXPECT_EQ(ExchangeListEntries(list, 0, 2), kFalse);
  EXPECT_EQ(ExchangeListEntries(list, -1, 1), kFalse);
  EXPECT_EQ(Entries(), (Strings{"A", "B"}));
  EXPECT_EQ(ExchangeListEntries(list, 1, 0), kTrue);
  EXPECT_EQ(Entries(), (Strings{"B", "A"}));
}

}  // namespace
