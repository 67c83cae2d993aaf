#include "document/file_stamp.h"

#include <algorithm>
#include <cstring>

#include "document/file_io.h"

namespace {

// One round of a multiply-xorshift mix, word by word: fast on large files,
// and any change of a byte changes every later state.
uint64_t Mix(uint64_t state, uint64_t word) {
  state ^= word;
  state *= 0xFF51AFD7ED558CCDull;
  state ^= state >> 32;
  return state;
}

}  // namespace

bool SameFile(const FileStamp& a, const FileStamp& b) {
  return a.exists && b.exists && a.volume == b.volume && a.fileId == b.fileId;
}

void BytesHash::MixBlocks(const char* blocks, size_t count) {
  // The lanes are kept in registers: stored after every block, they would
  // wait for each other again.
  uint64_t lanes[kLanes];
  std::memcpy(lanes, lanes_, sizeof lanes);
  for (const char* const end = blocks + count * kBlock; blocks != end;
       blocks += kBlock) {
    for (size_t lane = 0; lane < kLanes; ++lane) {
      // Words are read as the machine stores them: a hash is only compared
      // with another made by the same program.
      uint64_t word = 0;
      std::memcpy(&word, blocks + 8 * lane, 8);
      lanes[lane] = Mix(lanes[lane], word);
    }
  }
  std::memcpy(lanes_, lanes, sizeof lanes);
}

void BytesHash::Add(std::string_view bytes) {
  total_ += bytes.size();
  if (bytes.empty()) return;
  if (pendingCount_ != 0) {
    const size_t taken = std::min(kBlock - pendingCount_, bytes.size());
    std::memcpy(pending_ + pendingCount_, bytes.data(), taken);
    pendingCount_ += taken;
    bytes.remove_prefix(taken);
    if (pendingCount_ < kBlock) return;
    MixBlocks(pending_, 1);
    pendingCount_ = 0;
  }
  const size_t blocks = bytes.size() / kBlock;
  MixBlocks(bytes.data(), blocks);
  bytes.remove_prefix(blocks * kBlock);
  std::memcpy(pending_, bytes.data(), bytes.size());
  pendingCount_ = bytes.size();
}

uint64_t BytesHash::Value() const {
  uint64_t value = lanes_[0];
  for (size_t lane = 1; lane < kLanes; ++lane) {
    value = Mix(value, lanes_[lane]);
  }
  // The bytes left over, as words padded with NULs; the length is mixed in
  // last, so that trailing NULs still count.
  char rest[kBlock] = {};
  std::memcpy(rest, pending_, pendingCount_);
  for (size_t at = 0; at < pendingCount_; at += 8) {
    uint64_t word = 0;
    std::memcpy(&word, rest + at, 8);
    value = Mix(value, word);
  }
  return Mix(value, total_);
}

uint64_t HashOfBytes(std::string_view bytes) {
  BytesHash hash;
  hash.Add(bytes);
  return hash.Value();
}

DiskState CompareWithDisk(const std::string& path, const FileStamp& stamp) {
  FileStamp now;
  if (!IdentifyFile(path, now)) return DiskState::kChanged;
  if (!now.exists) return DiskState::kMissing;
  if (SameFile(now, stamp) && now.size == stamp.size &&
      now.modified == stamp.modified) {
    return DiskState::kAsStamped;
  }
  if (now.size != stamp.size) return DiskState::kChanged;
  // Hashed piece by piece: a file as large as the document in memory must not
  // need as much memory again to be compared.
  FileStamp read;
  return StampOfFile(path, read) && read.size == stamp.size &&
                 read.hash == stamp.hash
             ? DiskState::kAsStamped
             : DiskState::kChanged;
}
