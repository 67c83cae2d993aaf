// kalvane loading files a user should not have to worry about: each loads
// (or is refused with the load error), keeps every byte, and saves what it
// should. Every case is one row of the README's bad-input table.
#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "reorderer/kalvane.h"
#include "tests/robustness/kalvane_session.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace fs = std::filesystem;
namespace mem = tovi::memory;
using namespace std::string_literals;
using Names = std::vector<std::string>;

struct BadFile {
  const char* name;
  std::string bytes;
  Names entries;        // the list right after the load
  std::string problem;  // the warning names it; empty when none is shown
  std::string saved;    // what Save writes after Down on the first function
};

// Test names show the case; its bytes would only flood the output.
void PrintTo(const BadFile& file, std::ostream* out) {
  *out << file.name;
}

std::string EveryByteValue() {
  std::string bytes;
  for (int round = 0; round < 4; ++round) {
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  }
  return bytes;
}

const BadFile kFiles[] = {
    {"EmptyFile", "", {}, "", ""},
    {"NoDeclarations",
     "REM nothing\r\nPRINT 1\nEND SUB\n",
     {},
     "",
     "REM nothing\r\nPRINT 1\nEND SUB\n"},
    // The first line ends with LF (byte 10 comes before 13); the last byte,
    // 0xFF, ends a line without terminator, which gets that LF.
    {"BinaryFile", EveryByteValue(), {}, "", EveryByteValue() + "\n"},
    {"NulBytes",
     "DECLARE FUNCTION A\0B ()\nDECLARE FUNCTION C ()\nFUNCTION C ()\n\0\n"
     "END FUNCTION\nFUNCTION a\0b ()\nEND FUNCTION\n"s,
     {"A\0B"s, "C"},
     "",
     "DECLARE FUNCTION C ()\nDECLARE FUNCTION A\0B ()\nFUNCTION C ()\n\0\n"
     "END FUNCTION\nFUNCTION a\0b ()\nEND FUNCTION\n"s},
    {"InvalidUtf8",
     "DECLARE FUNCTION \xff\xfe ()\nDECLARE FUNCTION \xc0\xaf ()\n"
     "FUNCTION \xff\xfe ()\n\x80\x81\nEND FUNCTION\n"
     "FUNCTION \xc0\xaf ()\nEND FUNCTION\n",
     {"\xff\xfe", "\xc0\xaf"},
     "",
     "DECLARE FUNCTION \xc0\xaf ()\nDECLARE FUNCTION \xff\xfe ()\n"
     "FUNCTION \xc0\xaf ()\nEND FUNCTION\n"
     "FUNCTION \xff\xfe ()\n\x80\x81\nEND FUNCTION\n"},
    {"CrOnlyTerminators",
     "DECLARE FUNCTION A ()\rDECLARE FUNCTION B ()\rFUNCTION A ()\r"
     "END FUNCTION\rFUNCTION B ()\rEND FUNCTION\r",
     {"A", "B"},
     "",
     "DECLARE FUNCTION B ()\rDECLARE FUNCTION A ()\rFUNCTION B ()\r"
     "END FUNCTION\rFUNCTION A ()\rEND FUNCTION\r"},
    // Each line keeps its own terminator wherever it moves.
    {"MixedTerminators",
     "DECLARE FUNCTION A ()\r\nDECLARE FUNCTION B ()\rFUNCTION A ()\n"
     "END FUNCTION\r\nREM b\rFUNCTION B ()\r\nEND FUNCTION\n",
     {"A", "B"},
     "",
     "DECLARE FUNCTION B ()\rDECLARE FUNCTION A ()\r\nREM b\r"
     "FUNCTION B ()\r\nEND FUNCTION\nFUNCTION A ()\nEND FUNCTION\r\n"},
    // The last line, moved up, takes the first line's terminator.
    {"NoFinalTerminator",
     "DECLARE FUNCTION A ()\r\nDECLARE FUNCTION B ()\r\nFUNCTION A ()\r\n"
     "END FUNCTION\r\nFUNCTION B ()\r\nEND FUNCTION",
     {"A", "B"},
     "",
     "DECLARE FUNCTION B ()\r\nDECLARE FUNCTION A ()\r\nFUNCTION B ()\r\n"
     "END FUNCTION\r\nFUNCTION A ()\r\nEND FUNCTION\r\n"},
    {"TwoFunctionsOfOneName",
     "DECLARE FUNCTION Foo ()\nDECLARE FUNCTION foo ()\nFUNCTION Foo ()\n"
     "END FUNCTION\n",
     {"Foo", "foo"},
     "Line 2: the function foo is already declared on line 1.",
     ""},
    {"BodyWithoutDeclaration",
     "DECLARE FUNCTION A ()\nFUNCTION Stray ()\nEND FUNCTION\n"
     "FUNCTION A ()\nEND FUNCTION\n",
     {"A"},
     "Line 2: the function Stray has no declaration.",
     ""},
    {"HeadWithoutEnd",
     "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION B ()\n"
     "END FUNCTION\nFUNCTION A ()\n x\n",
     {"A", "B"},
     "Line 5: the function A has no END FUNCTION.",
     ""},
    {"EndWithoutHead",
     "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION B ()\n"
     "END FUNCTION\nEND FUNCTION\nFUNCTION A ()\nEND FUNCTION\n",
     {"A", "B"},
     "Line 5: END FUNCTION without a FUNCTION line to close.",
     ""},
    {"HeadInsideAnotherBody",
     "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION A ()\n"
     "FUNCTION B ()\nEND FUNCTION\nEND FUNCTION\n",
     {"A", "B"},
     "Line 4: the function B begins inside the body of the function A.",
     ""},
    {"DeclarationAfterFirstBody",
     "DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\n"
     "DECLARE FUNCTION B ()\nFUNCTION B ()\nEND FUNCTION\n",
     {"A", "B"},
     "Line 4: the function B is declared after the first function body.",
     ""},
    {"SecondBody",
     "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\nFUNCTION A ()\n"
     "END FUNCTION\nFUNCTION a ()\nEND FUNCTION\n",
     {"A", "B"},
     "Line 5: the function a has a second body.",
     ""},
};

class BadFiles : public KalvaneSession,
                 public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFiles, LoadKeepsEveryByte) {
  const BadFile& file = GetParam();
  const std::string path = Path("in.ost");
  WriteBytes(path, file.bytes);
  Run([&] {
    Load(path);
    EXPECT_EQ(mem::Entries(List()), file.entries);
    Down(0);
    Up(2);
    Save(Path("out.ost"));
  });
  // A file whose structure cannot be represented is kept as it is.
  const std::string saved = file.problem.empty() ? file.saved : file.bytes;
  EXPECT_EQ(ReadBytes(Path("out.ost")), saved);
  if (file.problem.empty()) {
    ExpectNoBoxes();
    return;
  }
  ASSERT_EQ(mem::MessageBoxes().size(), 1u);
  const mem::MessageBoxRecord& box = mem::MessageBoxes()[0];
  EXPECT_EQ(box.text,
            file.problem + "\n\nThe functions in this file cannot be moved.");
  EXPECT_EQ(box.caption, "Kalvane");
  EXPECT_EQ(box.style, MB_ICONWARNING);
  EXPECT_EQ(box.owner, Window());
}

INSTANTIATE_TEST_SUITE_P(Robustness, BadFiles, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<BadFile>& row) {
                           return std::string(row.param.name);
                         });

const std::string kTwoFunctions =
    "DECLARE FUNCTION One ()\nDECLARE FUNCTION Two ()\n"
    "FUNCTION One ()\nEND FUNCTION\nFUNCTION Two ()\nEND FUNCTION\n";

using BadPaths = KalvaneSession;

// Each is refused with the load error; the loaded document and list stay,
// and the next Save offers the refused path, as after any Load.
TEST_F(BadPaths, PathsThatCannotBeLoadedAreRefused) {
  WriteBytes(Path("a.ost"), kTwoFunctions);
  WriteBytes(Path("deleted.ost"), kTwoFunctions);
  fs::create_directory(Path("dir.ost"));
  ASSERT_EQ(mkfifo(Path("pipe.ost").c_str(), 0600), 0);
  const std::vector<std::string> paths = {Path("deleted.ost"), Path("dir.ost"),
                                          Path("pipe.ost")};
  Run([&] {
    Load(Path("a.ost"));
    for (const std::string& path : paths) {
      // The dialog has named the file; it goes before the load opens it.
      if (path == Path("deleted.ost")) fs::remove(path);
      Load(path);
      EXPECT_EQ(mem::Entries(List()), (Names{"One", "Two"}));
      Save("");  // only to see which name the Save dialog offers
      EXPECT_EQ(mem::Dialogs().back().initialName, path);
    }
    Down(0);
    Save(Path("out.ost"));
  });
  ExpectBoxes(paths.size(), "Cannot open file", "Error", MB_ICONERROR);
  EXPECT_EQ(ReadBytes(Path("out.ost")),
            "DECLARE FUNCTION Two ()\nDECLARE FUNCTION One ()\n"
            "FUNCTION Two ()\nEND FUNCTION\nFUNCTION One ()\nEND FUNCTION\n");
}

TEST_F(BadPaths, NonAsciiPathsLoadAndSave) {
  const std::string in = Path("Fünf Ünïcode 函数 ✓.ost");
  const std::string out = Path("Сохранено ✓.ost");
  WriteBytes(in, kTwoFunctions);
  Run([&] {
    Load(in);
    EXPECT_EQ(mem::Entries(List()), (Names{"One", "Two"}));
    Save(out);
  });
  ExpectNoBoxes();
  EXPECT_EQ(mem::Dialogs().back().initialName, in);
  EXPECT_EQ(ReadBytes(out), kTwoFunctions);
}

}  // namespace
