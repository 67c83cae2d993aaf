#include <filesystem>
#include <random>

#include "document/file_io.h"

namespace {

// The most bytes a file system takes for one name. Windows counts UTF-16
// units, never more than UTF-8 bytes, so this holds there too.
constexpr size_t kMaxNameBytes = 255;

constexpr char kSeparators[] = {
    '/', static_cast<char>(std::filesystem::path::preferred_separator), '\0'};

bool ContinuesACharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string TemporaryNameFor(const std::string& target) {
  // Seeded once per thread: names only need to differ from files already
  // there, and the exclusive create catches the rare clash. One generator per
  // thread, since kalvane-arrange saves several files at once and the
  // generator's state is no place for two threads.
  thread_local std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string suffix = ".~";
  uint64_t bits = generator();
  for (int i = 0; i < 12; ++i, bits >>= 4) suffix += kDigits[bits & 15];
  suffix += ".tmp";

  // A target whose name is nearly as long as names may be gives up the end
  // of its name, so that the temporary file can be made at all; the cut
  // never splits a character. (npos + 1 is 0: a bare name.)
  const size_t nameStart = target.find_last_of(kSeparators) + 1;
  size_t keep = target.size() - nameStart;
  if (keep + suffix.size() > kMaxNameBytes) {
    keep = kMaxNameBytes - suffix.size();
    while (keep > 0 && ContinuesACharacter(target[nameStart + keep])) --keep;
  }
  return target.substr(0, nameStart + keep) + suffix;
}
