#include "document/file_io.h"

namespace {

// The open file, closed however reading ends: memory can run out at any
// growth of the buffer, and the exception must not take the handle with it.
class ReadingFile {
 public:
  ReadingFile(const ReadOps& ops, intptr_t handle)
      : ops_(ops), handle_(handle) {}
  ~ReadingFile() { ops_.close(handle_); }
  ReadingFile(const ReadingFile&) = delete;
  ReadingFile& operator=(const ReadingFile&) = delete;

  bool Read(char* buffer, size_t room, size_t& got) const {
    return ops_.read(handle_, buffer, room, got);
  }
  bool Identify(FileStamp& stamp) const {
    return ops_.identify != nullptr && ops_.identify(handle_, stamp);
  }

 private:
  const ReadOps& ops_;
  intptr_t handle_;
};

}  // namespace

bool ReadWholeFile(const ReadOps& ops, const std::string& path,
                   std::string& bytes, FileStamp* stamp) {
  intptr_t handle = -1;
  uint64_t size = 0;
  if (!ops.open(path, handle, size)) return false;
  const ReadingFile file(ops, handle);
  // The time is taken before the first byte is read: a write that lands
  // while the file is read then shows as a change, never as no change.
  FileStamp opened;
  if (stamp != nullptr && !file.Identify(opened)) return false;
  // The buffer holds one byte more than the size, so that the end shows
  // without another read. A size the address space cannot hold (2^32 - 1
  // bytes on a 32-bit system) is refused here: the + 1 would wrap to 0 and
  // load the file as empty, and Save would then empty it.
  if (size >= bytes.max_size()) return false;
  bytes.resize(static_cast<size_t>(size) + 1);
  size_t filled = 0;
  for (;;) {
    // The size is only a first guess: the file may grow while it is read.
    if (filled == bytes.size()) {
      if (bytes.size() > bytes.max_size() / 2) return false;
      bytes.resize(bytes.size() * 2);
    }
    size_t got = 0;
    if (!file.Read(bytes.data() + filled, bytes.size() - filled, got)) {
      return false;
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  if (stamp != nullptr) {
    opened.exists = true;
    opened.size = filled;
    opened.hash = HashOfBytes(bytes);
    *stamp = opened;
  }
  return true;
}
