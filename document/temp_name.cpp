#include <random>

#include "document/file_io.h"

std::string TemporaryNameFor(const std::string& target) {
  // Seeded once per run: names only need to differ from files already there,
  // and the exclusive create catches the rare clash.
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name = target + ".~";
  uint64_t bits = generator();
  for (int i = 0; i < 12; ++i, bits >>= 4) name += kDigits[bits & 15];
  return name + ".tmp";
}
