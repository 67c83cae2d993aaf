// A file's bytes mapped read-only into memory rather than copied: a huge
// file is then ready without being copied or its copy's memory cleared.
//
// Another program can still change or shorten the file while it is mapped,
// and that shows in the mapped bytes (where it shortened it, zeros stand in
// for what is gone). So whatever is made from them is trusted only once
// Intact() says they are still the bytes first hashed; a caller that holds
// a document for longer than one quick run reads the file instead.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <string_view>

#include "document/file_stamp.h"

class MappedFile {
 public:
  // The file at `path` mapped, its bytes being hashed meanwhile on another
  // thread. Null where mapping gains nothing or cannot be done (a small
  // file, no regular file, a system without it): the file is then to be
  // read.
  static std::unique_ptr<MappedFile> Map(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view Bytes() const { return {data_, size_}; }
  // `stamp` filled as ReadWholeFile fills it, once the hash is done. False
  // when the file was shortened meanwhile: it is then to be read.
  bool Stamp(FileStamp& stamp);
  // Whether the mapped bytes are still those hashed when mapped.
  bool Intact() const;

 private:
  MappedFile(const char* data, size_t size, int guard)
      : data_(data), size_(size), guard_(guard) {}
  const char* data_;
  size_t size_;
  int guard_;  // the platform's watch over the mapping
  FileStamp opened_;
  std::future<uint64_t> hashing_;
  uint64_t hash_ = 0;
};
