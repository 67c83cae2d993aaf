#include "document/safe_write.h"

#include <exception>

bool WriteFileSafely(const FileOps& ops, const std::string& path,
                     const std::function<bool(const ChunkWriter&)>& produce) {
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
    written = produce(write) && ops.flushToDisk(temp) && ops.close(temp) &&
              ops.replace(temp, target);
  } catch (const std::exception&) {
    // Out of memory while producing the bytes, say: the temporary file
    // must still go.
  }
  if (!written) {
    ops.discard(temp);
    return false;
  }
  // The new bytes are in place now, but until the folder is synced a crash
  // could still bring back the old file: the save is not yet safe to report.
  return ops.syncFolder(target);
}
