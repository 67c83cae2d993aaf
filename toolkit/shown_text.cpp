#include "toolkit/shown_text.h"

#include <cstdint>

namespace tovi {
namespace {

constexpr char kNulSymbol[] = "\xE2\x90\x80";  // U+2400
constexpr char kEllipsis[] = "\xE2\x80\xA6";   // U+2026

// Code page 1252 for 0x80..0x9F; the rest of it is Latin-1. The five bytes
// it leaves unassigned stand for the control characters of their value, as
// the system's own conversion has it.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char16_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

size_t Utf8Length(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t code = 0;
  uint32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1Fu, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0Fu, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3Fu);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8Length(text.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

void AppendShownByte(std::string& out, uint8_t byte) {
  if (byte == 0) {
    out += kNulSymbol;
  } else {
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kWindows1252[byte - 0x80]
                                                : char16_t{byte});
  }
}

std::string ShownText(std::string_view bytes, size_t mostCharacters) {
  const bool utf8 = IsUtf8(bytes);
  std::string shown;
  shown.reserve(bytes.size());
  size_t characters = 0;
  for (size_t i = 0; i < bytes.size(); ++characters) {
    if (characters == mostCharacters) {
      shown += kEllipsis;
      break;
    }
    const uint8_t byte = static_cast<uint8_t>(bytes[i]);
    if (byte != 0 && utf8) {
      const size_t length = Utf8Length(bytes.substr(i));
      shown.append(bytes.substr(i, length));
      i += length;
    } else {
      AppendShownByte(shown, byte);
      ++i;
    }
  }
  return shown;
}

}  // namespace tovi
