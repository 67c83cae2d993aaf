#include "document/safe_write.h"

#include <exception>

namespace {

// Runs `steps`, true when all succeeded; an exception (out of memory while
// producing the bytes, say) counts as a failure, so that the caller can
// still clean up.
template <typename Steps>
bool AllSucceed(const Steps& steps) {
  try {
    return steps();
  } catch (const std::exception&) {
    return false;
  }
}

// The save of a file that must stay the file it is: its old bytes go to a
// backup first, so that whatever fails while the file itself is rewritten,
// one whole copy of them is on disk.
WriteResult WriteInPlace(const FileOps& ops, const SaveTarget& target,
                         const std::function<bool(const ChunkWriter&)>& produce,
                         std::string* kept, const TargetCheck& stillExpected) {
  TempFile backup;
  if (!ops.backUp(target, backup)) return WriteResult::kFailed;
  // The check comes after the backup, which may take a while to reach the
  // disk, and just before the file is opened for writing: a change made
  // meanwhile is still seen.
  bool expected = true;
  const bool checked = !stillExpected || AllSucceed([&] {
    expected = stillExpected(target);
    return true;
  });
  TempFile file;
  if (!checked || !expected || !ops.openInPlace(target, file)) {
    ops.discard(backup);
    return checked && !expected ? WriteResult::kTargetChanged
                                : WriteResult::kFailed;
  }
  const ChunkWriter write = [&](std::string_view bytes) {
    return ops.write(file, bytes);
  };
  const bool written = AllSucceed([&] {
    return produce(write) && ops.truncate(file) && ops.flushToDisk(file);
  });
  // The file is closed whatever happened; a close that fails may have lost
  // bytes written before it. Discarding a handle without a path only closes
  // it, should the close have left it open.
  const bool closed = ops.close(file);
  ops.discard(file);
  if (written && closed) {
    ops.discard(backup);
    return WriteResult::kWritten;
  }
  if (ops.restore(backup, target)) {
    ops.discard(backup);
    return WriteResult::kFailed;
  }
  // The file may now hold part of the new bytes: the backup is the one whole
  // copy of the old ones, and the user must learn where it is.
  if (kept != nullptr) *kept = backup.path;
  return WriteResult::kBackupKept;
}

}  // namespace

WriteResult WriteFileSafely(
    const FileOps& ops, const std::string& path,
    const std::function<bool(const ChunkWriter&)>& produce, std::string* kept,
    const TargetCheck& stillExpected) {
  if (path.empty()) return WriteResult::kFailed;
  SaveTarget target;
  if (!ops.resolveTarget(path, target)) return WriteResult::kFailed;
  if (target.inPlace) {
    return WriteInPlace(ops, target, produce, kept, stillExpected);
  }
  TempFile temp;
  if (!ops.createTemporary(target, temp)) return WriteResult::kFailed;

  const ChunkWriter write = [&](std::string_view bytes) {
    return ops.write(temp, bytes);
  };
  bool written = AllSucceed([&] {
    return produce(write) && ops.flushToDisk(temp) && ops.close(temp);
  });
  // The check comes as late as it can, when only the replacement is left:
  // a change made by another program while the new bytes were written is
  // still seen.
  bool expected = true;
  if (written && target.exists && stillExpected) {
    written = AllSucceed([&] {
      expected = stillExpected(target);
      return true;
    });
  }
  if (!expected) {
    ops.discard(temp);
    return WriteResult::kTargetChanged;
  }
  const Replacement replaced =
      written ? ops.replace(temp, target) : Replacement::kRefused;
  if (replaced == Replacement::kOnlyInTemporary) {
    if (kept != nullptr) *kept = temp.path;
    return WriteResult::kKeptAside;
  }
  if (replaced != Replacement::kDone) {
    ops.discard(temp);
    return WriteResult::kFailed;
  }
  // The new bytes are in place now, but until the folder is synced a crash
  // could still bring back the old file: the save is not yet safe to report.
  return ops.syncFolder(target) ? WriteResult::kWritten
                                : WriteResult::kNotSynced;
}
