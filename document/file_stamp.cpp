#include "document/file_stamp.h"

#include <cstring>
#include <exception>

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

void BytesHash::Add(std::string_view bytes) {
  total_ += bytes.size();
  while (pendingCount_ != 0 && pendingCount_ < 8 && !bytes.empty()) {
    pending_ |= uint64_t{static_cast<unsigned char>(bytes.front())}
                << (8 * pendingCount_);
    ++pendingCount_;
    bytes.remove_prefix(1);
  }
  if (pendingCount_ == 8) {
    state_ = Mix(state_, pending_);
    pending_ = 0;
    pendingCount_ = 0;
  }
  while (bytes.size() >= 8) {
    uint64_t word = 0;
    for (size_t i = 0; i < 8; ++i) {
      word |= uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    }
    state_ = Mix(state_, word);
    bytes.remove_prefix(8);
  }
  for (char c : bytes) {
    pending_ |= uint64_t{static_cast<unsigned char>(c)} << (8 * pendingCount_);
    ++pendingCount_;
  }
}

uint64_t BytesHash::Value() const {
  // The length is mixed in last, so that trailing NULs still count.
  return Mix(Mix(state_, pending_), total_);
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
  std::string bytes;
  try {
    if (!ReadWholeFile(path, bytes)) return DiskState::kChanged;
  } catch (const std::exception&) {
    return DiskState::kChanged;
  }
  return bytes.size() == stamp.size && HashOfBytes(bytes) == stamp.hash
             ? DiskState::kAsStamped
             : DiskState::kChanged;
}
