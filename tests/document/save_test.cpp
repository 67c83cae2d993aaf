// Saving replaces the target only with complete bytes, keeps what the target
// was (its permissions, the link in front of it), and leaves nothing behind.
#include <filesystem>

#include "document/file_io.h"
#include "tests/document/document_fixture.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class Saving : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    Load(
        "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n"
        "FUNCTION B ()\nEND FUNCTION\nFUNCTION A ()\nEND FUNCTION");
  }
};

TEST_F(Saving, WritesTheArrangedLinesAndReplacesAnOldFile) {
  const std::string out = folder.File("out.ost");
  WriteBytes(out, std::string(100000, 'x'));
  EXPECT_EQ(SaveSource(doc, out), kTrue);
  EXPECT_EQ(ReadBytes(out),
            "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n"
            "FUNCTION A ()\nEND FUNCTION\nFUNCTION B ()\nEND FUNCTION\n");
  EXPECT_EQ(folder.Names(), (Names{"out.ost"}));
}

TEST_F(Saving, RefusesPlacesThatCannotHoldTheFile) {
  EXPECT_EQ(SaveSource(doc, ""), kFalse);
  EXPECT_EQ(SaveSource(doc, folder.File("missing/out.ost")), kFalse);
  fs::create_directory(folder.path() / "dir");
  EXPECT_EQ(SaveSource(doc, folder.File("dir")), kFalse);
  EXPECT_TRUE(fs::is_directory(folder.path() / "dir"));
  EXPECT_TRUE(fs::is_empty(folder.path() / "dir"));
  EXPECT_EQ(folder.Names(), (Names{"dir"}));
}

TEST_F(Saving, TargetsWithTheLongestNamesAreSaved) {
  std::string accented;  // 125 two-byte characters
  for (int i = 0; i < 125; ++i) accented += "\xc3\xa9";
  std::vector<std::string> names = {std::string(251, 'n') + ".ost"};
#ifndef _WIN32
  // Names are limited in bytes here; Windows counts UTF-16 units instead.
  names.push_back(accented + "x.ost");
#endif
  for (const std::string& name : names) {
    ASSERT_EQ(name.size(), 255u);
    const std::string out = folder.File(name);
    WriteBytes(out, "old\n");
    EXPECT_EQ(SaveSource(doc, out), kTrue) << name;
    EXPECT_EQ(ReadBytes(out), SerializeSource(doc));
    EXPECT_EQ(folder.Names(), (Names{name}));
    std::filesystem::remove(out);
  }
  // The temporary file's name gives up the end of the target's, but never
  // half of a character.
  const std::string temp = TemporaryNameFor(folder.File(accented + "x.ost"));
  const std::string name = temp.substr(folder.path().string().size() + 1);
  EXPECT_LE(name.size(), 255u);
  EXPECT_EQ(name.substr(0, name.find(".~")), accented.substr(0, 236));
}

TEST_F(Saving, KeepsTheTargetsPermissions) {
  const std::string out = folder.File("out.ost");
  WriteBytes(out, "old\n");
  fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write |
                           fs::perms::owner_exec | fs::perms::group_read);
  const fs::perms before = fs::status(out).permissions();
  EXPECT_EQ(SaveSource(doc, out), kTrue);
  EXPECT_EQ(fs::status(out).permissions(), before);
  EXPECT_EQ(ReadBytes(out), SerializeSource(doc));
}

TEST_F(Saving, ThroughALinkReplacesTheFileItPointsTo) {
  fs::create_directory(folder.path() / "real");
  const std::string real = folder.File("real/target.ost");
  const std::string link = folder.File("link.ost");
  WriteBytes(real, "old\n");
  std::error_code error;
  fs::create_symlink(fs::path("real") / "target.ost", link, error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();

  EXPECT_EQ(SaveSource(doc, link), kTrue);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), SerializeSource(doc));
  EXPECT_EQ(folder.Names(), (Names{"link.ost", "real"}));
}

}  // namespace
