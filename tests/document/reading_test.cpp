// Reading a file: fields, the three kinds of line, names, terminators, and
// loads that fail.
#include <chrono>
#include <filesystem>
#include <limits>
#include <new>

#include "document/file_io.h"
#include "document/order_by_names.h"
#include "document/structure.h"
#include "tests/allocation_limit.h"
#include "tests/document/document_fixture.h"
#include "toolkit/memory/memory_driver.h"

namespace {

using Strings = std::vector<std::string>;

TEST(FieldOf, SplitsOnEverySingleSpace) {
  EXPECT_EQ(FieldOf("DECLARE FUNCTION Report ()", 1), "DECLARE");
  EXPECT_EQ(FieldOf("DECLARE FUNCTION Report ()", 4), "()");
  EXPECT_EQ(FieldOf("DECLARE FUNCTION Report ()", 5), "");
  EXPECT_EQ(FieldOf("a  b", 2), "");
  EXPECT_EQ(FieldOf("a  b", 3), "b");
  EXPECT_EQ(FieldOf(" a", 1), "");
  EXPECT_EQ(FieldOf(" a", 2), "a");
  EXPECT_EQ(FieldOf("a ", 2), "");
  EXPECT_EQ(FieldOf("\ta b", 1), "\ta");
  EXPECT_EQ(FieldOf("", 1), "");
  EXPECT_EQ(FieldOf("a b", 0), "");
}

using Reading = DocumentTest;

TEST_F(Reading, ListsDeclaredNamesByTheNameRules) {
  Load(
      "DECLARE FUNCTION Report ()\n"
      "DECLARE FUNCTION DOUBLE Scale (x)\n"
      "DECLARE FUNCTION Plain\n"
      "DECLARE FUNCTION Tail x y\n"
      "DECLARE FUNCTION Report()\n"
      "DECLARE SUB Other ()\n"
      "DECLARE  FUNCTION Spaced ()\n"
      " DECLARE FUNCTION Indented ()\n"
      "\tDECLARE FUNCTION Tabbed ()\n"
      "declare function Lower ()\n"
      "DECLARE FUNCTIONS Many ()\n");
  // The type word rule: field 4 names the function unless it opens the
  // parameters; a name glued to "()" leaves field 4 empty.
  EXPECT_EQ(Entries(), (Strings{"Report", "Scale", "", "x", ""}));
  EXPECT_EQ(doc.lastFunction, 4);
  EXPECT_EQ(doc.functions[1].declLine, 1);
  EXPECT_EQ(doc.functions[4].declLine, 4);
}

TEST_F(Reading, HeadsAndEndsCountOnlyAsFirstFields) {
  // Tabbed and lower-case keywords, "END SUB" and "ENDFUNCTION" are ordinary
  // lines inside the bodies; only the real heads and ends shape the blocks.
  Load(
      "DECLARE FUNCTION DOUBLE Scale (x)\n"
      "DECLARE FUNCTION Report ()\n"
      "FUNCTION Report ()\n"
      "\tFUNCTION Scale ()\n"
      "function Scale ()\n"
      "END SUB\n"
      "ENDFUNCTION\n"
      "\tEND FUNCTION\n"
      "END FUNCTION\n"
      "FUNCTION DOUBLE Scale (x)\n"
      "END FUNCTION\n");
  EXPECT_EQ(doc.problem, "");
  EXPECT_EQ(doc.functions[0], (FunctionRecord{0, 2, 3}));
  EXPECT_EQ(doc.functions[1], (FunctionRecord{1, 4, 10}));
  EXPECT_EQ(Texts()[2], "FUNCTION DOUBLE Scale (x)");
  EXPECT_EQ(Texts()[4], "FUNCTION Report ()");
}

TEST_F(Reading, EmptyFileAndFileWithoutDeclarations) {
  Load("");
  EXPECT_EQ(doc.lineCount, 0);
  EXPECT_EQ(doc.lastFunction, -1);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(Saved(), "");

  const std::string text = "REM nothing here\n\nEND SUB\nPRINT 1\n";
  Load(text);
  EXPECT_EQ(doc.lineCount, 4);
  EXPECT_EQ(doc.lastFunction, -1);
  EXPECT_EQ(doc.problem, "");
  EXPECT_EQ(Saved(), text);
}

TEST_F(Reading, KeepsEveryTerminatorAndByte) {
  struct Case {
    std::string in;
    Strings texts;
    Strings terminators;
    std::string saved;
  };
  const Case cases[] = {
      {"a\nb\n", {"a", "b"}, {"\n", "\n"}, "a\nb\n"},
      {"a\r\nb\r\n", {"a", "b"}, {"\r\n", "\r\n"}, "a\r\nb\r\n"},
      {"a\rb\r", {"a", "b"}, {"\r", "\r"}, "a\rb\r"},
      {"a\nb\r\nc\r\rd",
       {"a", "b", "c", "", "d"},
       {"\n", "\r\n", "\r", "\r", ""},
       "a\nb\r\nc\r\rd\n"},
      {"a\r\nb", {"a", "b"}, {"\r\n", ""}, "a\r\nb\r\n"},
      {"a\rb", {"a", "b"}, {"\r", ""}, "a\rb\r"},
      {"\n\r\n\r", {"", "", ""}, {"\n", "\r\n", "\r"}, "\n\r\n\r"},
      {std::string("a\0b\n\xff\xfe\0\n", 8),
       {std::string("a\0b", 3), std::string("\xff\xfe\0", 3)},
       {"\n", "\n"},
       std::string("a\0b\n\xff\xfe\0\n", 8)},
  };
  for (const Case& c : cases) {
    Load(c.in);
    Strings texts;
    Strings terminators;
    size_t covered = 0;  // every byte belongs to exactly one line
    for (int32_t i = 0; i < doc.lineCount; ++i) {
      texts.emplace_back(doc.Text(i));
      terminators.emplace_back(doc.Terminator(i));
      covered += static_cast<size_t>(doc.lines[i].length +
                                     doc.lines[i].terminatorLength);
    }
    EXPECT_EQ(covered, c.in.size()) << c.in;
    EXPECT_EQ(texts, c.texts) << c.in;
    EXPECT_EQ(terminators, c.terminators) << c.in;
    EXPECT_EQ(Saved(), c.saved) << c.in;
  }
}

TEST_F(Reading, LastLineWithoutAnyTerminatorGetsThePlatformOne) {
  Load("only");
  const std::string saved = Saved();
  EXPECT_TRUE(saved == "only\n" || saved == "only\r\n") << saved;
}

TEST(ScanStructure, RefusesMoreLinesThanItMayCount) {
  SourceStructure structure;
  EXPECT_TRUE(ScanStructure("a\nb\nc", 3, structure));
  EXPECT_EQ(structure.lineCount, 3);
  EXPECT_FALSE(ScanStructure("a\nb\nc\n\n", 3, structure));
}

TEST_F(Reading, FailedLoadLeavesDocumentAndListAlone) {
  Load("DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\n");
  Select(0);
  const SourceDocument before = doc;
  std::vector<std::string> paths = {folder.File("missing.ost"),
                                    folder.path().string(), std::string()};
  // A device that never ends must be refused, not read until memory runs out.
  if (std::filesystem::exists("/dev/zero")) paths.push_back("/dev/zero");
  for (const std::string& path : paths) {
    EXPECT_EQ(LoadSource(doc, list, path), kFalse) << path;
    EXPECT_EQ(doc.bytes, before.bytes);
    EXPECT_EQ(doc.lineCount, before.lineCount);
    EXPECT_EQ(doc.functions, before.functions);
    EXPECT_EQ(Entries(), Strings{"A"});
    EXPECT_EQ(tovi::memory::Selection(list), 0);
  }
}

// A file that tells the reader it has `toldSize` bytes, and holds none.
namespace told {
uint64_t toldSize = 0;
int openHandles = 0;
bool Open(const std::string&, intptr_t&, uint64_t& size) {
  size = toldSize;
  ++openHandles;
  return true;
}
bool Read(intptr_t, char*, size_t, size_t& got) {
  got = 0;
  return true;
}
void Close(intptr_t) {
  --openHandles;
}
const ReadOps kOps = {Open, Read, Close, nullptr};
}  // namespace told

// Memory running out while reading left the file open. A 32-bit program
// told of a file of 2^32 - 1 bytes (a size_t's largest value) loaded it as
// empty, and Save then emptied the user's file.
TEST(ReadWholeFile, SizesItCannotHoldFailAndTheFileIsAlwaysClosed) {
  std::string bytes;
  told::toldSize = 64 << 20;
  testing_support::LimitAllocations(32 << 20);
  EXPECT_THROW(ReadWholeFile(told::kOps, "large", bytes), std::bad_alloc);
  testing_support::LimitAllocations(0);
  EXPECT_EQ(told::openHandles, 0);
  for (uint64_t size : {uint64_t{std::numeric_limits<size_t>::max()},
                        uint64_t{std::numeric_limits<uint64_t>::max()},
                        uint64_t{bytes.max_size()}}) {
    told::toldSize = size;
    EXPECT_FALSE(ReadWholeFile(told::kOps, "big", bytes)) << size;
    EXPECT_EQ(told::openHandles, 0) << size;
  }
}

// A file read in several pieces: its stamp taken while it is read whole
// and the one taken piece by piece agree. Against a file of another time,
// as after a copy or a touch, the bytes decide: the same ones are no
// change, one changed bit is.
TEST_F(Reading, StampsOfALargeFileAgreeAndSeeOneChangedBit) {
  std::string bytes(3 * (1 << 20) + 7, 'x');
  for (size_t i = 0; i < bytes.size(); i += 61) bytes[i] = '\n';
  const std::string path = folder.File("large.ost");
  WriteBytes(path, bytes);
  std::string read;
  FileStamp whole, pieces;
  ASSERT_TRUE(ReadWholeFile(path, read, &whole));
  ASSERT_TRUE(read == bytes);
  ASSERT_TRUE(StampOfFile(path, pieces));
  EXPECT_EQ(pieces, whole);
  EXPECT_EQ(whole.hash, HashOfBytes(bytes));
  const auto later =
      std::filesystem::last_write_time(path) + std::chrono::hours(1);
  std::filesystem::last_write_time(path, later);
  EXPECT_EQ(CompareWithDisk(path, whole), DiskState::kAsStamped);
  bytes[bytes.size() / 2] ^= 1;
  WriteBytes(path, bytes);
  std::filesystem::last_write_time(path, later + std::chrono::hours(1));
  EXPECT_EQ(CompareWithDisk(path, whole), DiskState::kChanged);
}

// Memory that runs out while the list is filled fails the load like any
// other lack of memory: no exception leaves LoadSource, and the document and
// list shown before stay.
TEST_F(Reading, ListThatRunsOutOfMemoryFailsTheLoad) {
#ifdef _WIN32
  GTEST_SKIP() << "the native list can only be made to refuse an entry";
#endif
  Load("DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\n");
  const SourceDocument before = doc;
  const std::string path = folder.File("other.ost");
  WriteBytes(path, "DECLARE FUNCTION B ()\nDECLARE FUNCTION C ()\n");
  tovi::memory::FailEntry(list, 1, tovi::memory::EntryFailure::kThrow);
  EXPECT_EQ(LoadSource(doc, list, path), kFalse);
  EXPECT_EQ(doc.bytes, before.bytes);
  EXPECT_EQ(doc.functions, before.functions);
  EXPECT_EQ(Entries(), Strings{"A"});
}

TEST_F(Reading, SecondLoadReplacesTheList) {
  Load("DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n");
  Load("DECLARE FUNCTION C ()\n");
  EXPECT_EQ(Entries(), Strings{"C"});
  EXPECT_EQ(doc.lastFunction, 0);
  EXPECT_EQ(doc.lineCount, 1);
}

// The user's order by name put back onto a file's new functions.
TEST_F(Reading, ArrangementByNamesSurvivesFunctionsAddedAndGone) {
  using Order = std::vector<int32_t>;
  // Beta is gone; new ones stay behind the one they follow, or lead.
  EXPECT_EQ(OrderByNames({"Gamma", "Alpha", "Beta"},
                         {"New", "alpha", "Extra", "GAMMA", "Last"}),
            (Order{0, 3, 4, 1, 2}));
  // The k-th function of one name takes the k-th place of that name.
  EXPECT_EQ(OrderByNames({"B", "A", "B"}, {"A", "B", "B", "C"}),
            (Order{1, 0, 2, 3}));
  Load("DECLARE FUNCTION DOUBLE Scale (x)\nDECLARE FUNCTION Plain ()\n");
  EXPECT_EQ(FunctionNames(doc), (Strings{"Scale", "Plain"}));
}

}  // namespace
