#include "document/safe_write.h"

#include <exception>

WriteResult WriteFileSafely(
    const FileOps& ops, const std::string& path,
    const std::function<bool(const ChunkWriter&)>& produce, std::string* kept,
    const TargetCheck& stillExpected) {
  if (path.empty()) return WriteResult::kFailed;
  SaveTarget target;
  if (!ops.resolveTarget(path, target)) return WriteResult::kFailed;
  TempFile temp;
  if (!ops.createTemporary(target, temp)) return WriteResult::kFailed;

  const ChunkWriter write = [&](std::string_view bytes) {
    return ops.write(temp, bytes);
  };
  bool written = false;
  try {
    written = produce(write) && ops.flushToDisk(temp) && ops.close(temp);
  } catch (const std::exception&) {
    // Out of memory while producing the bytes, say: the temporary file
    // must still go.
  }
  // The check comes as late as it can, when only the replacement is left:
  // a change made by another program while the new bytes were written is
  // still seen.
  bool expected = true;
  if (written && target.exists && stillExpected) {
    try {
      expected = stillExpected(target);
    } catch (const std::exception&) {
      written = false;
    }
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
  return ops.syncFolder(target) ? WriteResult::kWritten : WriteResult::kFailed;
}
