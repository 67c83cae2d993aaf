#include "document/safe_write.h"

#include <exception>

namespace {

// Runs `produce` and the steps after it, true when all succeeded; an
// exception (out of memory while producing the bytes, say) counts as a
// failure, so that the caller can still clean up.
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
bool WriteInPlace(const FileOps& ops, const SaveTarget& target,
                  const std::function<bool(const ChunkWriter&)>& produce,
                  KeptFile* kept) {
  TempFile backup;
  if (!ops.backUp(target, backup)) return false;
  TempFile file;
  if (!ops.openInPlace(target, file)) {
    ops.discard(backup);
    return false;
  }
  const ChunkWriter write = [&](std::string_view bytes) {
    return ops.write(file, bytes);
  };
  const bool written = AllSucceed([&] {
    return produce(write) && ops.truncate(file) && ops.flushToDisk(file);
  });
  // The target's handle is closed whatever happened; a close that fails may
  // have lost bytes written before it. Discarding a handle without a path
  // only closes it, should the close have left it open.
  const bool closed = ops.close(file);
  ops.discard(file);
  if (written && closed) {
    ops.discard(backup);
    return true;
  }
  if (ops.restore(backup, target)) {
    ops.discard(backup);
    return false;
  }
  // The file may now hold part of the new bytes: the backup is the one whole
  // copy of the old ones, and the user must learn where it is.
  if (kept != nullptr) *kept = {backup.path, true};
  return false;
}

}  // namespace

bool WriteFileSafely(const FileOps& ops, const std::string& path,
                     const std::function<bool(const ChunkWriter&)>& produce,
                     KeptFile* kept) {
  if (path.empty()) return false;
  SaveTarget target;
  if (!ops.resolveTarget(path, target)) return false;
  if (target.inPlace) return WriteInPlace(ops, target, produce, kept);
  TempFile temp;
  if (!ops.createTemporary(target, temp)) return false;

  const ChunkWriter write = [&](std::string_view bytes) {
    return ops.write(temp, bytes);
  };
  const bool written = AllSucceed([&] {
    return produce(write) && ops.flushToDisk(temp) && ops.close(temp);
  });
  const Replacement replaced =
      written ? ops.replace(temp, target) : Replacement::kRefused;
  if (replaced == Replacement::kOnlyInTemporary) {
    if (kept != nullptr) *kept = {temp.path, false};
    return false;
  }
  if (replaced != Replacement::kDone) {
    ops.discard(temp);
    return false;
  }
  // The new bytes are in place now, but until the folder is synced a crash
  // could still bring back the old file: the save is not yet safe to report.
  return ops.syncFolder(target);
}
