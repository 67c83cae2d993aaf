// Every single step of a save may fail: the old file must then keep all of
// its bytes and no temporary file may stay behind.
#include <algorithm>
#include <deque>
#include <filesystem>
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
bool Close(TempFile& temp) {
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

const FileOps kFaulty = {ResolveTarget, CreateTemporary, Write,
                         FlushToDisk,   Close,           Replace,
                         SyncFolder,    Discard};

using SaveFaults = DocumentTest;

TEST_F(SaveFaults, AnyFailingStepLeavesTheOldFileWhole) {
  // Megabytes of bodies in reverse order: once rebuilt they go out in
  // several writes.
  std::string text;
  const int kFunctions = 3000;
  for (int f = 0; f < kFunctions; ++f) {
    text += "DECLARE FUNCTION F" + std::to_string(f) + " ()\n";
  }
  for (int f = kFunctions - 1; f >= 0; --f) {
    text += "FUNCTION F" + std::to_string(f) + " ()\n";
    for (int i = 0; i < 50; ++i) text += "REM line " + std::to_string(i) + "\n";
    text += "END FUNCTION\n";
  }
  Load(text);
  const std::string target = folder.File("target.ost");
  const std::string old = "the old bytes\n";
  const auto save = [&] {
    return WriteFileSafely(kFaulty, target, [&](const ChunkWriter& write) {
      return WriteSerialized(doc, write);
    });
  };

  WriteBytes(target, old);
  calls = 0;
  failAt = -1;
  ASSERT_TRUE(save());
  const int steps = calls;
  // resolve, create, two writes or more, flush, close, replace, sync
  ASSERT_GE(steps, 8);
  const std::string saved = SerializeSource(doc);
  ASSERT_EQ(ReadBytes(target), saved);

  for (failAt = 0; failAt < steps; ++failAt) {
    WriteBytes(target, old);
    calls = 0;
    EXPECT_FALSE(save()) << failAt;
    // Once the new file has replaced the old, only the folder sync is left
    // to fail; its bytes are then the new ones, whole.
    const std::string expected = failAt == folderSyncCall ? saved : old;
    EXPECT_EQ(ReadBytes(target), expected) << failAt;
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"target.ost"}))
        << failAt;
  }
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
  ASSERT_TRUE(WriteFileSafely(kFaulty, target, [&](const ChunkWriter& write) {
    return WriteSerialized(doc, write);
  }));
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
  const bool saved = WriteFileSafely(PlatformFileOps(), target,
                                     [](const ChunkWriter& write) -> bool {
                                       write("part of the new bytes\n");
                                       throw std::bad_alloc();
                                     });
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadBytes(target), "old\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.ost"});
}

#ifdef _WIN32
// The answers the system calls of the replacement give, in turn; once they
// run out, the system's own calls answer. An answer leaves the files as the
// system would: 1176 has deleted the old file, 1177 has given it another
// name.
std::deque<DWORD> replaceAnswers;
std::deque<DWORD> moveAnswers;

DWORD Answer(std::deque<DWORD>& answers) {
  const DWORD error = answers.front();
  answers.pop_front();
  return error;
}
DWORD FakeReplaceFile(const wchar_t* target, const wchar_t* replacement) {
  if (replaceAnswers.empty()) {
    return PlatformReplaceCalls().replaceFile(target, replacement);
  }
  const DWORD error = Answer(replaceAnswers);
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) DeleteFileW(target);
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    MoveFileW(target, (std::wstring(target) + L".old").c_str());
  }
  return error;
}
DWORD FakeMoveFile(const wchar_t* from, const wchar_t* to) {
  return moveAnswers.empty() ? PlatformReplaceCalls().moveFile(from, to)
                             : Answer(moveAnswers);
}
Replacement ReplaceByAnswers(const TempFile& temp, const SaveTarget& target) {
  return ReplaceThrough({FakeReplaceFile, FakeMoveFile}, temp, target);
}

// Every outcome of ReplaceFileW: the new bytes end up in the target, or the
// old bytes stay there and the temporary file goes, or, when the system took
// the old file away and the new one cannot follow, the temporary file stays
// with the new bytes and the save names it.
TEST_F(SaveFaults, EveryOutcomeOfTheSystemReplacementKeepsOneCopy) {
  const DWORD kBusy = ERROR_SHARING_VIOLATION;
  const DWORD kGone = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
  const DWORD kAside = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
  enum Ends { kNew, kOld, kKept };
  struct Outcome {
    const char* name;
    std::deque<DWORD> replace;
    std::deque<DWORD> move;
    Ends ends;
    std::vector<std::string> leftBeside;  // besides target or kept file
  };
  const std::vector<Outcome> outcomes = {
      {"replaced", {}, {}, kNew, {}},
      {"busy, then replaced", {kBusy, ERROR_LOCK_VIOLATION}, {}, kNew, {}},
      {"busy throughout", std::deque<DWORD>(20, kBusy), {}, kOld, {}},
      {"old deleted, new moved", {kGone}, {}, kNew, {}},
      {"old deleted, move busy", {kGone}, {kBusy}, kNew, {}},
      {"old deleted, move refused", {kGone}, {ERROR_WRITE_PROTECT}, kKept, {}},
      {"old aside, new moved", {kAside}, {}, kNew, {"target.ost.old"}},
      {"old aside, move refused",
       {kAside},
       {ERROR_WRITE_PROTECT},
       kKept,
       {"target.ost.old"}},
      {"other error", {ERROR_INVALID_PARAMETER}, {}, kOld, {}},
      {"disk full", {ERROR_DISK_FULL}, {}, kOld, {}},
  };
  FileOps ops = PlatformFileOps();
  ops.replace = ReplaceByAnswers;
  Load("DECLARE FUNCTION A ()\nFUNCTION A ()\nEND FUNCTION\n");
  const std::string target = folder.File("target.ost");
  for (const Outcome& outcome : outcomes) {
    SCOPED_TRACE(outcome.name);
    std::filesystem::remove_all(folder.path());
    std::filesystem::create_directory(folder.path());
    WriteBytes(target, "old\n");
    replaceAnswers = outcome.replace;
    moveAnswers = outcome.move;
    std::string kept;
    const bool saved = WriteFileSafely(
        ops, target,
        [&](const ChunkWriter& write) { return WriteSerialized(doc, write); },
        &kept);
    EXPECT_EQ(saved, outcome.ends == kNew);
    EXPECT_TRUE(replaceAnswers.empty() && moveAnswers.empty());
    std::vector<std::string> names = outcome.leftBeside;
    if (outcome.ends == kKept) {
      const size_t nameStart = kept.find_last_of('\\') + 1;
      names.push_back(kept.substr(nameStart));
      EXPECT_EQ(names.back().rfind("target.ost.~", 0), 0u) << kept;
      EXPECT_EQ(ReadBytes(folder.File(names.back())), Saved());
    } else {
      EXPECT_EQ(kept, "");
      names.push_back("target.ost");
      EXPECT_EQ(ReadBytes(target), outcome.ends == kNew ? Saved() : "old\n");
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(folder.Names(), names);
  }
}
#endif

}  // namespace
