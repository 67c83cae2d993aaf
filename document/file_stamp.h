// What a file was when kalvane read or wrote it: enough to tell, later,
// whether someone else has changed it since.
//
// The file's identity, size and modification time are cheap to ask for;
// the hash of its bytes decides when they differ, so that a file touched
// without a change, or written again with the same bytes by an editor that
// replaces files by rename, does not count as changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct FileStamp {
  bool exists = false;
  // The file itself: device and inode on POSIX, volume serial number and
  // file index on Windows.
  uint64_t volume = 0;
  uint64_t fileId = 0;
  uint64_t size = 0;
  int64_t modified = 0;  // the platform's own units
  uint64_t hash = 0;     // of the bytes, BytesHash
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Whether two stamps name one file, whatever its bytes.
bool SameFile(const FileStamp& a, const FileStamp& b);

// A hash of bytes handed over in pieces; the pieces' sizes do not change it.
class BytesHash {
 public:
  void Add(std::string_view bytes);
  uint64_t Value() const;

 private:
  uint64_t state_ = 0x9E3779B97F4A7C15ull;
  uint64_t pending_ = 0;  // bytes not yet making a whole word
  size_t pendingCount_ = 0;
  uint64_t total_ = 0;
};

uint64_t HashOfBytes(std::string_view bytes);

// The identity, size and time of the file at `path` (links followed), its
// hash left 0; `exists` false when there is no file there. False when the
// path cannot be examined.
bool IdentifyFile(const std::string& path, FileStamp& stamp);

enum class DiskState {
  kAsStamped,  // the file holds the bytes the stamp describes
  kChanged,    // other bytes, or it cannot be read to tell
  kMissing,    // no file at the path
};

// Compares what is at `path` now with `stamp`: the same file, size and
// time are taken as the same bytes; otherwise the bytes are read and hashed.
DiskState CompareWithDisk(const std::string& path, const FileStamp& stamp);
