// Loading puts the blocks into declaration order and leaves the records
// pointing at their new places.
#include "tests/document/document_fixture.h"
#include "toolkit/memory/memory_driver.h"

namespace {

using Strings = std::vector<std::string>;
using Rebuild = DocumentTest;

TEST_F(Rebuild, BodiesOutOfOrderFollowTheDeclarations) {
  const std::string alpha =
      "' about alpha\n' more about alpha\nFUNCTION Alpha ()\n  a1\n"
      "END FUNCTION\n";
  const std::string beta = "' about beta\nFUNCTION Beta (n)\nEND FUNCTION\n";
  const std::string gamma = "FUNCTION Gamma ()\n  g\nEND FUNCTION\n";
  const std::string declAlpha = "DECLARE FUNCTION Alpha ()\n";
  const std::string declBeta = "DECLARE FUNCTION Beta (n)\n";
  const std::string rest = "DECLARE FUNCTION Gamma ()\nPRINT Alpha\n";
  const std::string tail = "' closing\n";
  // Lines before the first head stay in the header, even the ones that the
  // first body's comments would be; comments in front of a later head
  // travel with its block; the tail stays last.
  Load("REM header\n" + declAlpha + declBeta + rest + gamma + beta + alpha +
       tail);
  EXPECT_EQ(doc.problem, "");
  EXPECT_EQ(Entries(), (Strings{"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(Saved(), "REM header\n" + declAlpha + declBeta + rest + alpha +
                         beta + gamma + tail);
  EXPECT_EQ(doc.functions,
            (std::vector<FunctionRecord>{{1, 5, 9}, {2, 10, 12}, {3, 13, 15}}));

  // A move right after the load exchanges exactly the two blocks.
  Select(0);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Entries(), (Strings{"Beta", "Alpha", "Gamma"}));
  EXPECT_EQ(Saved(), "REM header\n" + declBeta + declAlpha + rest + beta +
                         alpha + gamma + tail);
}

TEST_F(Rebuild, OrderedFileStaysAsItIs) {
  const std::string text =
      "DECLARE FUNCTION a ()\r\n"
      "DECLARE FUNCTION b ()\r\n"
      "FUNCTION A ()\r\n"
      "END FUNCTION\r\n"
      "REM between\r\n"
      "FUNCTION B ()\r\n"
      "END FUNCTION\r\n";
  Load(text);
  EXPECT_EQ(Saved(), text);
  EXPECT_EQ(doc.functions, (std::vector<FunctionRecord>{{0, 2, 3}, {1, 4, 6}}));
}

TEST_F(Rebuild, FunctionsWithoutBodySitBetweenTheirNeighbours) {
  Load(
      "DECLARE FUNCTION Ext1 ()\n"
      "DECLARE FUNCTION Body ()\n"
      "DECLARE FUNCTION Ext2 ()\n"
      "FUNCTION Body ()\n"
      "END FUNCTION\n"
      "tail\n");
  EXPECT_EQ(doc.problem, "");
  EXPECT_EQ(doc.functions,
            (std::vector<FunctionRecord>{{0, 3, 2}, {1, 3, 4}, {2, 5, 4}}));
  Select(0);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(doc.functions,
            (std::vector<FunctionRecord>{{0, 3, 4}, {1, 5, 4}, {2, 5, 4}}));
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Entries(), (Strings{"Body", "Ext2", "Ext1"}));
  EXPECT_EQ(tovi::memory::Selection(list), 2);
  EXPECT_EQ(Saved(),
            "DECLARE FUNCTION Body ()\n"
            "DECLARE FUNCTION Ext2 ()\n"
            "DECLARE FUNCTION Ext1 ()\n"
            "FUNCTION Body ()\n"
            "END FUNCTION\n"
            "tail\n");
}

TEST_F(Rebuild, FileWithoutAnyBodyMovesOnlyDeclarations) {
  Load("DECLARE FUNCTION A ()\nREM x\nDECLARE FUNCTION B ()\nREM y\n");
  EXPECT_EQ(doc.functions, (std::vector<FunctionRecord>{{0, 4, 3}, {2, 4, 3}}));
  Select(0);
  MoveFunctionDown(doc, list);
  EXPECT_EQ(Saved(),
            "DECLARE FUNCTION B ()\nREM x\nDECLARE FUNCTION A ()\nREM y\n");
}

}  // namespace
