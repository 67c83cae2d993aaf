// Writes the program icon as a PNG for the desktop's icon theme, from the
// same pixels the program shows, so the two never drift apart.
//   icon_png OUTPUT
// The image data is stored uncompressed: 4 KiB is not worth a compressor.
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include "resources/quorlet_rgba.h"

namespace {

constexpr uint32_t kSize = 32;

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
  }
  return ~crc;
}

uint32_t Adler32(const std::string& bytes) {
  uint32_t a = 1;
  uint32_t b = 0;
  for (char c : bytes) {
    a = (a + static_cast<unsigned char>(c)) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out += static_cast<char>((value >> shift) & 0xFFu);
  }
}

std::string Chunk(const std::string& type, const std::string& data) {
  std::string out;
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  out += type + data;
  PutBigEndian(out, Crc32(type + data));
  return out;
}

// A zlib stream of one stored deflate block.
std::string Zlib(const std::string& raw) {
  const auto length = static_cast<uint16_t>(raw.size());
  std::string out = {'\x78', '\x01', '\x01'};  // header; final stored block
  out += static_cast<char>(length & 0xFFu);
  out += static_cast<char>(length >> 8);
  out += static_cast<char>(~length & 0xFFu);
  out += static_cast<char>((~length >> 8) & 0xFFu);
  out += raw;
  PutBigEndian(out, Adler32(raw));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: icon_png OUTPUT\n";
    return 2;
  }
  std::string header;
  PutBigEndian(header, kSize);
  PutBigEndian(header, kSize);
  header += std::string{8, 6, 0, 0, 0};  // 8 bits, RGBA, no interlace
  std::string rows;
  for (uint32_t y = 0; y < kSize; ++y) {
    rows += '\0';  // no filter
    rows.append(reinterpret_cast<const char*>(kQuorletRgba) + y * kSize * 4,
                kSize * 4);
  }
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) +
                          Chunk("IHDR", header) + Chunk("IDAT", Zlib(rows)) +
                          Chunk("IEND", "");
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << png;
  if (!out.flush()) {
    std::cerr << "cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
