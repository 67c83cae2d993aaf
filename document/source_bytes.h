// A document's bytes: a string of its own, or a file mapped into memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "document/mapped_file.h"

class SourceBytes {
 public:
  SourceBytes() = default;
  // From a string implicitly, as the bytes were held before files could be
  // mapped: text read or received is a document's bytes as it stands.
  SourceBytes(std::string text) : own_(std::move(text)) {}
  explicit SourceBytes(std::shared_ptr<const MappedFile> mapped)
      : mapped_(std::move(mapped)) {}

  std::string_view view() const {
    return mapped_ != nullptr ? mapped_->Bytes() : std::string_view(own_);
  }
  operator std::string_view() const { return view(); }
  const char* data() const { return view().data(); }
  size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }

  // Whether the bytes are still those read. Always so for a string of its
  // own; a mapped file may have been changed by another program since.
  bool StillAsRead() const { return mapped_ == nullptr || mapped_->Intact(); }

  friend bool operator==(const SourceBytes& a, std::string_view b) {
    return a.view() == b;
  }

 private:
  std::string own_;
  std::shared_ptr<const MappedFile> mapped_;
};
