#include <algorithm>
#include <exception>

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

// Reads are at most this large, so that each piece is hashed while it is
// still in the processor's cache rather than in a second pass over memory.
constexpr size_t kPiece = size_t{1} << 20;

// Reads the open file to its end through `room`, which tells where the next
// bytes go and how many fit (it may grow the buffer), and hashes them as
// they come. False on a read error or when `room` gives none.
template <typename Room>
bool ReadToEnd(const ReadingFile& file, BytesHash& hash, uint64_t& total,
               Room&& room) {
  for (;;) {
    size_t free = 0;
    char* const into = room(free);
    if (into == nullptr) return false;
    size_t got = 0;
    if (!file.Read(into, std::min(free, kPiece), got)) return false;
    if (got == 0) return true;
    hash.Add({into, got});
    total += got;
  }
}

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
  bytes.reserve(static_cast<size_t>(size) + 1);
  PreferLargePages(bytes.data(), bytes.capacity());
  bytes.resize(static_cast<size_t>(size) + 1);
  BytesHash hash;
  uint64_t filled = 0;
  const bool read = ReadToEnd(file, hash, filled, [&](size_t& free) -> char* {
    // The size is only a first guess: the file may grow while it is
    // read.
    if (filled == bytes.size()) {
      if (bytes.size() > bytes.max_size() / 2) return nullptr;
      bytes.resize(bytes.size() * 2);
    }
    free = bytes.size() - static_cast<size_t>(filled);
    return bytes.data() + filled;
  });
  if (!read) return false;
  bytes.resize(static_cast<size_t>(filled));
  if (stamp != nullptr) {
    opened.exists = true;
    opened.size = filled;
    opened.hash = hash.Value();
    *stamp = opened;
  }
  return true;
}

bool StampOfFile(const ReadOps& ops, const std::string& path,
                 FileStamp& stamp) {
  intptr_t handle = -1;
  uint64_t size = 0;
  if (!ops.open(path, handle, size)) return false;
  const ReadingFile file(ops, handle);
  FileStamp opened;
  if (!file.Identify(opened)) return false;
  std::string buffer;
  try {
    buffer.resize(kPiece);
  } catch (const std::exception&) {
    return false;
  }
  BytesHash hash;
  uint64_t total = 0;
  if (!ReadToEnd(file, hash, total, [&](size_t& free) {
        free = buffer.size();
        return buffer.data();
      })) {
    return false;
  }
  opened.exists = true;
  opened.size = total;
  opened.hash = hash.Value();
  stamp = opened;
  return true;
}
