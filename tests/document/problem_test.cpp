// Files the model cannot represent load unchanged, list their functions,
// refuse every move and name the first offending line.
#include "tests/document/document_fixture.h"
#include "toolkit/memory/memory_driver.h"

namespace {

struct Case {
  const char* text;
  int32_t functions;
  const char* problem;
};

const Case kCases[] = {
    {"DECLARE FUNCTION Foo ()\nDECLARE FUNCTION foo ()\n"
     "FUNCTION Foo ()\nEND FUNCTION\n",
     2, "Line 2: the function foo is already declared on line 1."},
    {"DECLARE FUNCTION X()\nDECLARE FUNCTION Y()\n", 2,
     "Line 2: the unnamed function is already declared on line 1."},
    {"DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\n"
     "FUNCTION Stray ()\nEND FUNCTION\n",
     1, "Line 4: the function Stray has no declaration."},
    {"FUNCTION Alone ()\nEND FUNCTION\n", 0,
     "Line 1: the function Alone has no declaration."},
    {"DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION B ()\n"
     "END FUNCTION\nFUNCTION A ()\n x\n",
     2, "Line 5: the function A has no END FUNCTION."},
    {"DECLARE FUNCTION A ()\nEND FUNCTION\nFUNCTION A ()\nEND FUNCTION\n", 1,
     "Line 2: END FUNCTION without a FUNCTION line to close."},
    {"DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\nEND FUNCTION\n", 1,
     "Line 4: END FUNCTION without a FUNCTION line to close."},
    {"DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION A ()\n"
     "FUNCTION B ()\nEND FUNCTION\nEND FUNCTION\n",
     2, "Line 4: the function B begins inside the body of the function A."},
    {"DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\n"
     "DECLARE FUNCTION B ()\n",
     2, "Line 4: the function B is declared after the first function body."},
    {"DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION A ()\n"
     "END FUNCTION\nFUNCTION a ()\nEND FUNCTION\n",
     2, "Line 5: the function a has a second body."},
    // A body left open is found only at the end, yet its line comes first.
    {"DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION A ()\n x\n"
     "DECLARE FUNCTION C ()\n",
     3, "Line 3: the function A has no END FUNCTION."},
};

using Problems = DocumentTest;

TEST_F(Problems, LoadUnchangedNameTheLineAndRefuseMoves) {
  for (const Case& c : kCases) {
    Load(c.text);
    EXPECT_EQ(doc.problem, c.problem) << c.text;
    EXPECT_EQ(static_cast<int32_t>(Entries().size()), c.functions) << c.text;
    EXPECT_EQ(doc.lastFunction, c.functions - 1) << c.text;
    EXPECT_EQ(Saved(), c.text);
    const std::vector<std::string> entries = Entries();
    for (int32_t p = 0; p < c.functions; ++p) {
      Select(p);
      MoveFunctionUp(doc, list);
      MoveFunctionDown(doc, list);
      EXPECT_EQ(ExchangeFunctions(doc, p, p + 1), kFalse);
    }
    EXPECT_EQ(Saved(), c.text);
    EXPECT_EQ(Entries(), entries);
  }
}

// Record i must describe entry i, so a list that refuses an entry makes the
// file one the model cannot represent: its lines stay where they stand.
TEST_F(Problems, ListThatRefusesAnEntryLoadsTheFileUnchanged) {
  const std::string text =
      "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nDECLARE FUNCTION C ()\n"
      "FUNCTION C ()\nEND FUNCTION\nFUNCTION A ()\nEND FUNCTION\n";
  tovi::memory::FailEntry(list, 1, tovi::memory::EntryFailure::kRefuse);
  Load(text);
  EXPECT_EQ(doc.problem,
            "Line 2: the function list did not take the function B.");
  EXPECT_EQ(Saved(), text);
  Select(1);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Saved(), text);
}

TEST_F(Problems, SoundFileAfterwardsMovesAgain) {
  Load(kCases[0].text);
  Load("DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n");
  EXPECT_EQ(doc.problem, "");
  EXPECT_EQ(ExchangeFunctions(doc, 0, 1), kTrue);
}

}  // namespace
