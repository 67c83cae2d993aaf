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
// It only ever compares bytes within one run of a program, so it may differ
// between versions and machines.
class BytesHash {
 public:
  void Add(std::string_view bytes);
  uint64_t Value() const;

 private:
  // Four words are mixed at a time, each into its own lane: the lanes do not
  // wait for each other, so a huge file hashes about as fast as memory reads.
  static constexpr size_t kLanes = 4;
  static constexpr size_t kBlock = 8 * kLanes;
  void MixBlocks(const char* blocks, size_t count);

  uint64_t lanes_[kLanes] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full,
                             0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};
  char pending_[kBlock] = {};  // bytes not yet making a whole block
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
