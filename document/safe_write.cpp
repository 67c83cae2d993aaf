#include "document/safe_write.h"

#include <exception>

bool WriteFileSafely(const FileOps& ops, const std::string& path,
                     const std::function<bool(const ChunkWriter&)>& produce,
                     std::string* kept) {
  if (path.empty()) return false;
  SaveTarget target;
  if (!ops.resolveTarget(path, target)) return false;
  TempFile temp;
  if (!ops.createTemporary(target, temp)) return false;

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
  const Replacement replaced =
      written ? ops.replace(temp, target) : Replacement::kRefused;
  if (replaced == Replacement::kOnlyInTemporary) {
    if (kept != nullptr) *kept = temp.path;
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
