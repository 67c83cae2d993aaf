// Every single step of a save may fail: the old file must then keep all of
// its bytes and no temporary file may stay behind.
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "document/file_io.h"
#ifdef _WIN32
#include "document/file_io_win32.h"
#endif
#include "document/safe_write.h"
#include "document/serialize.h"
#include "tests/document/document_fixture.h"

namespace {

// The platform's operations, the step numbered `failAt` failing instead.
int calls = 0;
int failAt = -1;
int folderSyncCall = -1;

bool Fails() {
  return calls++ == failAt;
}

// The paths the steps hand on to each other: the target's, the temporary
// file's.
std::vector<std::string> stepPaths;

bool ResolveTarget(const std::string& path, SaveTarget& target) {
  if (Fails() || !PlatformFileOps().resolveTarget(path, target)) return false;
  stepPaths.push_back(target.path);
  return true;
}
bool CreateTemporary(const SaveTarget& target, TempFile& temp) {
  if (Fails() || !PlatformFileOps().createTemporary(target, temp)) {
    return false;
  }
  stepPaths.push_back(temp.path);
  return true;
}
bool Write(TempFile& temp, std::string_view bytes) {
  return !Fails() && PlatformFileOps().write(temp, bytes);
}
bool FlushToDisk(TempFile& temp) {
  return !Fails() && PlatformFileOps().flushToDisk(temp);
}
// Another program at work on the target while the save writes its bytes.
std::function<void()> otherWriter;
bool Close(TempFile& temp) {
  if (otherWriter) otherWriter();
  return !Fails() && PlatformFileOps().close(temp);
}
Replacement Replace(const TempFile& temp, const SaveTarget& target) {
  return Fails() ? Replacement::kRefused
                 : PlatformFileOps().replace(temp, target);
}
bool SyncFolder(const SaveTarget& target) {
  folderSyncCall = calls;
  return !Fails() && PlatformFileOps().syncFolder(target);
}
void Discard(TempFile& temp) {
  PlatformFileOps().discard(temp);
}
bool BackUp(const SaveTarget& target, TempFile& backup) {
  if (Fails() || !PlatformFileOps().backUp(target, backup)) return false;
  if (otherWriter) otherWriter();
  return true;
}
bool OpenInPlace(const SaveTarget& target, TempFile& file) {
  return !Fails() && PlatformFileOps().openInPlace(target, file);
}
bool Truncate(TempFile& file) {
  return !Fails() && PlatformFileOps().truncate(file);
}
bool Restore(const TempFile& backup, const SaveTarget& target) {
  return !Fails() && PlatformFileOps().restore(backup, target);
}

const FileOps kFaulty = {
    ResolveTarget, CreateTemporary, Write,  FlushToDisk, Close,    Replace,
    SyncFolder,    Discard,         BackUp, OpenInPlace, Truncate, Restore};

using SaveFaults = DocumentTest;

TEST_F(SaveFaults, AnyFailingStepLeavesTheOldFileWhole) {
  // Megabytes of bodies in reverse order: once rebuilt they go out in
  // several writes, a few long ones as they lie between gathered short ones.
  std::string text;
  const int kFunctions = 3000;
  for (int f = 0; f < kFunctions; ++f) {
    text += "DECLARE FUNCTION F" + std::to_string(f) + " ()\n";
  }
  for (int f = kFunctions - 1; f >= 0; --f) {
    text += "FUNCTION F" + std::to_string(f) + " ()\n";
    for (int i = 0; i < (f % 1000 == 1 ? 600 : 50); ++i) {
      text += "REM line " + std::to_string(i) + "\n";
    }
    text += "END FUNCTION\n";
  }
  Load(text);
  const std::string target = folder.File("target.ost");
  const std::string saved = SerializeSource(doc);
  const auto save = [&] {
    return WriteFileSafely(kFaulty, target, [&](const ChunkWriter& write) {
             return WriteSerialized(doc, write);
           }) == WriteResult::kWritten;
  };

  // A file of two names is rewritten in place, in steps of its own; its old
  // bytes are longer than the new ones, which must not keep their tail.
  for (const bool inPlace : {false, true}) {
    const std::string old =
        inPlace ? std::string(saved.size() + 100, 'o') : "the old bytes\n";
    WriteBytes(target, old);
    if (inPlace) {
      std::filesystem::create_hard_link(target, folder.File("second.ost"));
    }
    const std::vector<std::string> names = folder.Names();
    calls = 0;
    failAt = -1;
    folderSyncCall = -1;
    ASSERT_TRUE(save());
    const int steps = calls;
    // resolve, create or back up and open, two writes or more, flush, close,
    // then replace and sync or truncate
    ASSERT_GE(steps, 8);
    ASSERT_EQ(ReadBytes(target), saved);

    for (failAt = 0; failAt < steps; ++failAt) {
      WriteBytes(target, old);
      calls = 0;
      EXPECT_FALSE(save()) << failAt;
      // Once the new file has replaced the old, only the folder sync is left
      // to fail; its bytes are then the new ones, whole.
      const std::string expected = failAt == folderSyncCall ? saved : old;
      EXPECT_EQ(ReadBytes(target), expected) << failAt;
      EXPECT_EQ(folder.Names(), names) << failAt;
      EXPECT_EQ(ReadBytes(folder.File(names[0])), expected) << failAt;
    }
  }
}

// A file marked read-only (no write permission for anyone) keeps its bytes,
// though the system would let a new file take its place.
TEST_F(SaveFaults, ReadOnlyFileIsRefused) {
  const std::string target = folder.File("target.ost");
  WriteBytes(target, "old\n");
  std::filesystem::permissions(target, std::filesystem::perms::owner_read);
  EXPECT_EQ(SaveSource(doc, target), kFalse);
  std::filesystem::permissions(target, std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadBytes(target), "old\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.ost"});
}

// A target of 300 characters, whose temporary file's path is longer still.
// Windows refuses paths beyond 260 characters unless they are given in the
// extended-length form (\\?\...); Wine takes them either way, so the form of
// the paths the steps pass is checked there.
TEST_F(SaveFaults, DeepTargetIsSavedThroughExtendedPaths) {
  namespace fs = std::filesystem;
  Load("DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n");
  fs::path deep = folder.path();
  while (deep.string().size() + 61 < 300) deep /= std::string(50, 'd');
  fs::create_directories(deep);
  const size_t nameLength = 300 - deep.string().size() - 1;
  const std::string target =
      (deep / (std::string(nameLength - 4, 't') + ".ost")).string();
  ASSERT_EQ(target.size(), 300u);
  WriteBytes(target, "old\n");
  calls = 0;
  failAt = -1;
  stepPaths.clear();
  ASSERT_EQ(WriteFileSafely(kFaulty, target,
                            [&](const ChunkWriter& write) {
                              return WriteSerialized(doc, write);
                            }),
            WriteResult::kWritten);
  ASSERT_EQ(stepPaths.size(), 2u);
  for (const std::string& path : stepPaths) {
    EXPECT_GE(path.size(), 300u) << path;
#ifdef _WIN32
    EXPECT_EQ(path.rfind("\\\\?\\", 0), 0u) << path;
#endif
  }
  EXPECT_EQ(ReadBytes(target), SerializeSource(doc));
  EXPECT_EQ(LoadSource(doc, list, target), kTrue);
  EXPECT_EQ(fs::directory_iterator(deep)->path().string(), target);
}

TEST_F(SaveFaults, ProducerThatThrowsLeavesNoTemporaryFile) {
  const std::string target = folder.File("target.ost");
  WriteBytes(target, "old\n");
  const WriteResult saved = WriteFileSafely(
      PlatformFileOps(), target, [](const ChunkWriter& write) -> bool {
        write("part of the new bytes\n");
        throw std::bad_alloc();
      });
  EXPECT_EQ(saved, WriteResult::kFailed);
  EXPECT_EQ(ReadBytes(target), "old\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.ost"});
}

// Another program saves the file after it was read, while the new bytes
// are being written (or, for a file of two names rewritten in place, while
// its backup is made): the check just before the replacement sees it, and
// the other program's bytes stay. Rewriting the same bytes, or only
// touching the file, is no change.
TEST_F(SaveFaults, AnotherWritersBytesAreNeverReplacedUnseen) {
  const std::string target = folder.File("target.ost");
  size_t names = 1;
  const auto saveOver = [&](const std::string& theirs) {
    WriteBytes(target, "DECLARE FUNCTION A()\n");
    std::string bytes;
    FileStamp read;
    EXPECT_TRUE(ReadWholeFile(target, bytes, &read));
    Load(bytes);
    otherWriter = [&] {
      otherWriter = nullptr;
      WriteBytes(target, theirs);
    };
    calls = 0;
    failAt = -1;
    const WriteResult result = WriteFileSafely(
        kFaulty, target,
        [&](const ChunkWriter& write) { return WriteSerialized(doc, write); },
        nullptr,
        [&](const SaveTarget& at) {
          return CompareWithDisk(at.path, read) != DiskState::kChanged;
        });
    EXPECT_EQ(folder.Names().size(), names);
    return result;
  };
  for (; names <= 2; ++names) {
    if (names == 2) {
      std::filesystem::create_hard_link(target, folder.File("second.ost"));
    }
    EXPECT_EQ(saveOver("DECLARE FUNCTION B()\n"), WriteResult::kTargetChanged);
    EXPECT_EQ(ReadBytes(target), "DECLARE FUNCTION B()\n");
    EXPECT_EQ(saveOver("DECLARE FUNCTION A()\r\n"),
              WriteResult::kTargetChanged);
    EXPECT_EQ(saveOver("DECLARE FUNCTION A()\n"), WriteResult::kWritten);
  }
}

#ifdef _WIN32
// ReplaceFileW (R) and MoveFileExW (M) give these in turn, then 0 (done).
std::vector<DWORD> answers;
std::string made;
template <char call>
DWORD Answer(const wchar_t*, const wchar_t*) {
  made += call;
  if (answers.empty()) return 0;
  const DWORD error = answers.front();
  answers.erase(answers.begin());
  return error;
}
const ReplaceCalls kAnswering = {Answer<'R'>, Answer<'M'>};

// Each outcome of ReplaceFileW, the calls it leads to, and where the new
// bytes then are: in place, nowhere (the old ones kept), or only in the
// temporary file, which must then stay.
TEST_F(SaveFaults, EveryOutcomeOfTheSystemReplacementKeepsOneCopy) {
  using enum Replacement;
  const DWORD kBusy = ERROR_SHARING_VIOLATION;
  const DWORD kGone = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
  const DWORD kAside = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
  const SaveTarget target = {folder.File("t"), true};
  const TempFile temp = {target.path + "~"};
  const auto expect = [&](std::vector<DWORD> given, const std::string& order,
                          Replacement ends) {
    answers = given;
    made.clear();
    EXPECT_EQ(ReplaceThrough(kAnswering, temp, target), ends) << order;
    EXPECT_EQ(made, order);
  };
  expect({}, "R", kDone);
  expect({kBusy, ERROR_LOCK_VIOLATION}, "RRR", kDone);
  expect(std::vector<DWORD>(20, kBusy), std::string(20, 'R'), kRefused);
  expect({kGone}, "RM", kDone);
  expect({kGone, ERROR_WRITE_PROTECT}, "RM", kOnlyInTemporary);
  expect({kAside, kBusy}, "RMM", kDone);
  expect({kAside, ERROR_WRITE_PROTECT}, "RM", kOnlyInTemporary);
  expect({ERROR_INVALID_PARAMETER}, "R", kRefused);
}
#endif

}  // namespace
