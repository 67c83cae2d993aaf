// Every single step of a save may fail: the old file must then keep all of
// its bytes and no temporary file may stay behind.
#include <new>
#include <string>

#include "document/file_io.h"
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

bool ResolveTarget(const std::string& path, SaveTarget& target) {
  return !Fails() && PlatformFileOps().resolveTarget(path, target);
}
bool CreateTemporary(const SaveTarget& target, TempFile& temp) {
  return !Fails() && PlatformFileOps().createTemporary(target, temp);
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
bool Replace(const TempFile& temp, const SaveTarget& target) {
  return !Fails() && PlatformFileOps().replace(temp, target);
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

}  // namespace
