// Writes the program icon as a PNG for the desktop's icon theme, from the
// same pixels the program shows, so the two never drift apart.
//   icon_png SIZE OUTPUT
// Every size is drawn from the one 32 x 32 picture: each new pixel is the
// average of the picture's pixels under it, weighted by how much of each it
// covers. Twice, four and eight times the size thus keep the picture's hard
// edges, and smaller sizes blend neighbours instead of dropping them. The
// image data is stored uncompressed; the package is compressed as a whole.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "resources/quorlet_rgba.h"

namespace {

constexpr uint32_t kSize = 32;
constexpr uint32_t kLargest = 1024;

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

// A zlib stream of stored deflate blocks, each at most 65535 bytes long.
std::string Zlib(const std::string& raw) {
  std::string out = {'\x78', '\x01'};
  size_t at = 0;
  do {
    const size_t size = std::min<size_t>(raw.size() - at, 0xFFFF);
    const auto length = static_cast<uint16_t>(size);
    out += static_cast<char>(at + size == raw.size() ? 1 : 0);  // final?
    out += static_cast<char>(length & 0xFFu);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(~length & 0xFFu);
    out += static_cast<char>((~length >> 8) & 0xFFu);
    out.append(raw, at, size);
    at += size;
  } while (at < raw.size());
  PutBigEndian(out, Adler32(raw));
  return out;
}

// How much of source pixel `from` lies under new pixel `to`, along one axis
// of a picture scaled from kSize to `size` pixels, in source pixels.
double Overlap(uint32_t to, uint32_t from, uint32_t size) {
  const double scale = double{kSize} / static_cast<double>(size);
  const double start = std::max(to * scale, static_cast<double>(from));
  const double end = std::min((to + 1) * scale, static_cast<double>(from + 1));
  return std::max(0.0, end - start);
}

// The picture at `size` x `size` as PNG rows, each behind its filter byte.
// Colours are averaged weighted by their opacity, so the transparent
// surroundings do not darken the edges.
std::string Rows(uint32_t size) {
  std::string rows;
  for (uint32_t y = 0; y < size; ++y) {
    rows += '\0';  // no filter
    for (uint32_t x = 0; x < size; ++x) {
      std::array<double, 4> sum{};  // premultiplied red, green, blue; alpha
      for (uint32_t sy = 0; sy < kSize; ++sy) {
        const double wy = Overlap(y, sy, size);
        for (uint32_t sx = 0; wy > 0 && sx < kSize; ++sx) {
          const double w = wy * Overlap(x, sx, size);
          const unsigned char* pixel = kQuorletRgba + (sy * kSize + sx) * 4;
          for (int c = 0; c < 3; ++c) sum[c] += w * pixel[c] * pixel[3];
          sum[3] += w * pixel[3];
        }
      }
      const double area =
          double{kSize} * kSize / (static_cast<double>(size) * size);
      for (int c = 0; c < 3; ++c) {
        rows += static_cast<char>(
            sum[3] > 0 ? static_cast<int>(sum[c] / sum[3] + 0.5) : 0);
      }
      rows += static_cast<char>(static_cast<int>(sum[3] / area + 0.5));
    }
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned long asked =
      argc == 3 ? std::strtoul(argv[1], nullptr, 10) : 0;
  if (asked == 0 || asked > kLargest) {
    std::cerr << "usage: icon_png SIZE OUTPUT (SIZE 1 to " << kLargest << ")\n";
    return 2;
  }
  const auto size = static_cast<uint32_t>(asked);
  std::string header;
  PutBigEndian(header, size);
  PutBigEndian(header, size);
  header += std::string{8, 6, 0, 0, 0};  // 8 bits, RGBA, no interlace
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) +
                          Chunk("IHDR", header) +
                          Chunk("IDAT", Zlib(Rows(size))) + Chunk("IEND", "");
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << png;
  if (!out.flush()) {
    std::cerr << "cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
