#include "document/mapped_file.h"

// Windows reads every file: a view there would keep others from shortening
// the file but not from writing into it, so it would need the same watch
// for a gain nobody has measured there.
std::unique_ptr<MappedFile> MappedFile::Map(const std::string&) {
  return nullptr;
}

bool MappedFile::Stamp(FileStamp&) {
  return false;
}

MappedFile::~MappedFile() = default;

bool MappedFile::Intact() const {
  return true;
}
