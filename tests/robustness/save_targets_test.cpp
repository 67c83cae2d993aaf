// kalvane's Save against real faults and odd places to save to. A save that
// cannot be done safely is refused with the error box and harms nothing; a
// save through a symbolic link replaces the file the link points to.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/robustness/kalvane_session.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kSource =
    "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n"
    "FUNCTION B ()\nEND FUNCTION\nFUNCTION A ()\nEND FUNCTION\n";
const std::string kArranged =
    "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n"
    "FUNCTION A ()\nEND FUNCTION\nFUNCTION B ()\nEND FUNCTION\n";

class SaveTargets : public KalvaneSession {
 protected:
  void SetUp() override { WriteBytes(Path("source.ost"), kSource); }

  // Loads kSource and saves it to each of `targets` in turn.
  void LoadAndSave(const std::vector<std::string>& targets) {
    Run([&] {
      Load(Path("source.ost"));
      for (const std::string& target : targets) Save(target);
    });
  }

  void Link(const std::string& name, const std::string& to) {
    fs::create_symlink(to, Path(name));
  }
};

// Lowers the largest file this process may write, as a quota would, and
// turns the signal that exceeding it raises into a plain write error.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
    previous_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t previous_ = SIG_DFL;
};

TEST_F(SaveTargets, FileSizeLimitStopsTheSaveNotTheFile) {
  std::string big = kSource;
  for (int i = 0; i < 20000; ++i)
    big += "REM filler line " + std::to_string(i) + "\n";
  WriteBytes(Path("source.ost"), big);
  WriteBytes(Path("target.ost"), "old\n");
  Run([&] {
    Load(Path("source.ost"));
    const FileSizeLimit limit(64 * 1024);
    Save(Path("target.ost"));
  });
  ExpectOneSaveError();
  EXPECT_EQ(ReadBytes(Path("target.ost")), "old\n");
  EXPECT_EQ(folder.Names(), (Names{"source.ost", "target.ost"}));
}

// A save replaces its target by renaming a new file over it: that would put
// a plain file where a device, a pipe or a folder stood, so such targets are
// refused, whichever way the path reaches them.
TEST_F(SaveTargets, PlacesThatAreNoFileAreRefused) {
  fs::create_directory(Path("dir"));
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  Link("to-dir", "dir");
  Link("loop-a", "loop-b");
  Link("loop-b", "loop-a");
  WriteBytes(Path("plain.ost"), "old\n");
  std::vector<std::string> targets = {Path("missing/deeper/out.ost"),
                                      Path("plain.ost/out.ost"),
                                      Path("pipe"),
                                      Path("to-dir"),
                                      Path("loop-a"),
                                      Path("dir"),
                                      Path("dir") + "/"};
  const bool hasFull = fs::is_character_file("/dev/full");
  if (hasFull) {
    Link("full.ost", "/dev/full");
    targets.push_back("/dev/full");
    targets.push_back(Path("full.ost"));
  }
  const Names before = folder.Names();
  LoadAndSave(targets);

  ExpectBoxes(targets.size(), "Cannot save file", "Error", MB_ICONERROR);
  EXPECT_EQ(folder.Names(), before);
  EXPECT_TRUE(fs::is_empty(Path("dir")));
  EXPECT_TRUE(fs::is_fifo(Path("pipe")));
  EXPECT_EQ(ReadBytes(Path("plain.ost")), "old\n");
  for (const char* link : {"to-dir", "loop-a", "loop-b"}) {
    EXPECT_TRUE(fs::is_symlink(Path(link))) << link;
  }
  if (hasFull) {
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_symlink(Path("full.ost")));
    for (const auto& entry : fs::directory_iterator("/dev")) {
      EXPECT_NE(entry.path().filename().string().rfind("full.~", 0), 0u)
          << entry.path();
    }
  }
}

TEST_F(SaveTargets, ThroughLinksTheFileTheyNameGetsTheBytes) {
  fs::create_directory(Path("real"));
  WriteBytes(Path("real/target.ost"), "old\n");
  WriteBytes(Path("real/absolute.ost"), "old\n");
  Link("link.ost", "real/target.ost");
  Link("chain.ost", "link.ost");
  Link("absolute.ost", Path("real/absolute.ost"));
  Link("dangling.ost", "real/new.ost");
  LoadAndSave({Path("chain.ost"), Path("absolute.ost"), Path("dangling.ost")});

  ExpectNoBoxes();
  for (const char* link :
       {"link.ost", "chain.ost", "absolute.ost", "dangling.ost"}) {
    EXPECT_TRUE(fs::is_symlink(Path(link))) << link;
  }
  for (const char* file :
       {"real/target.ost", "real/absolute.ost", "real/new.ost"}) {
    EXPECT_EQ(ReadBytes(Path(file)), kArranged) << file;
  }
  EXPECT_EQ(folder.Names(), (Names{"absolute.ost", "chain.ost", "dangling.ost",
                                   "link.ost", "real", "source.ost"}));
}

// Temporary files are named after the target with a suffix; a target whose
// name is as long as names may be must still be saved.
TEST_F(SaveTargets, LongestNameCanBeSaved) {
  const std::string name = std::string(251, 'n') + ".ost";
  WriteBytes(Path(name), "old\n");
  LoadAndSave({Path(name)});
  ExpectNoBoxes();
  EXPECT_EQ(ReadBytes(Path(name)), kArranged);
  EXPECT_EQ(folder.Names(), (Names{name, "source.ost"}));
}

std::string Attribute(const std::string& path, const char* name) {
  std::string value(256, '\0');
  const ssize_t length =
      getxattr(path.c_str(), name, value.data(), value.size());
  return value.substr(0, static_cast<size_t>(std::max<ssize_t>(length, 0)));
}

struct stat Info(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info;
}

// What makes a file the file it is stays through a save: its owner, group,
// permissions and extended attributes (an access control list among them),
// and every name it has, each then showing the new bytes. A file whose owner
// the saving user cannot give a new file is written in place instead.
TEST_F(SaveTargets, FileKeepsOwnerAttributesAndEveryName) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give files other owners";
  const std::string owned = Path("owned.ost"), linked = Path("linked.ost"),
                    shared = Path("shared.ost");
  for (const std::string& file : {owned, linked, shared}) {
    WriteBytes(file, "old\n");
  }
  // Owner rw, user 4321 r, group r, mask r, others nothing.
  const std::string acl(
      "\2\0\0\0\1\0\6\0\377\377\377\377\2\0\4\0\341\20\0\0\4\0\4\0\377\377\377"
      "\377\20\0\4\0\377\377\377\377\40\0\0\0\377\377\377\377",
      44);
  ASSERT_EQ(chown(owned.c_str(), 1234, 5678) | chmod(owned.c_str(), 0640) |
                setxattr(owned.c_str(), "user.origin", "kept", 4, 0) |
                setxattr(owned.c_str(), "system.posix_acl_access", acl.data(),
                         acl.size(), 0) |
                chown(shared.c_str(), 4321, 4321) |
                chmod(shared.c_str(), 0666) |
                chmod(folder.path().c_str(), 0777),
            0);
  fs::create_hard_link(linked, Path("other-name.ost"));
  const ino_t sharedInode = Info(shared).st_ino;
  Run([&] {
    Load(Path("source.ost"));
    Save(owned);
    Save(linked);
    // A user who can write shared.ost but not give a new file its owner.
    ASSERT_EQ(setegid(1234) | seteuid(1234), 0);
    Save(shared);
  });
  EXPECT_EQ(seteuid(0) | setegid(0), 0);

  ExpectNoBoxes();
  EXPECT_EQ(folder.Names(), (Names{"linked.ost", "other-name.ost", "owned.ost",
                                   "shared.ost", "source.ost"}));
  for (const std::string& file :
       {owned, linked, shared, Path("other-name.ost")}) {
    EXPECT_EQ(ReadBytes(file), kArranged) << file;
  }
  EXPECT_EQ(Info(owned).st_uid, 1234u);
  EXPECT_EQ(Info(owned).st_gid, 5678u);
  EXPECT_EQ(Info(owned).st_mode & 07777, 0640u);
  EXPECT_EQ(Attribute(owned, "user.origin"), "kept");
  EXPECT_EQ(Attribute(owned, "system.posix_acl_access"), acl);
  EXPECT_EQ(Info(linked).st_ino, Info(Path("other-name.ost")).st_ino);
  EXPECT_EQ(Info(shared).st_ino, sharedInode);
  EXPECT_EQ(Info(shared).st_uid, 4321u);
}

TEST_F(SaveTargets, FolderWithoutWritePermissionIsRefused) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "running as root: permissions do not stop root";
  }
  fs::create_directory(Path("locked"));
  WriteBytes(Path("locked/target.ost"), "old\n");
  fs::permissions(Path("locked"),
                  fs::perms::owner_read | fs::perms::owner_exec);
  LoadAndSave({Path("locked/target.ost"), Path("locked/new.ost")});
  fs::permissions(Path("locked"), fs::perms::owner_all);
  ExpectBoxes(2, "Cannot save file", "Error", MB_ICONERROR);
  EXPECT_EQ(ReadBytes(Path("locked/target.ost")), "old\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("locked")), {}), 1);
}

}  // namespace
