// Entry texts as the screen shows them.
//
// Bytes that are not UTF-8 (a source file written in an old 8-bit code page,
// say) must neither crash nor vanish. Replacing each bad byte with U+FFFD
// would make different names look alike, so such a text is read whole in the
// Western 8-bit code page instead, the same rule the Windows build follows:
// every byte becomes a character.
#include <glib.h>

#include "toolkit/gtk/backend.h"

namespace tovi::gtk {
namespace {

// The code page's characters for 0x80 to 0x9F; its other bytes are the
// characters of the same number. The five bytes it leaves undefined map to
// the control characters of their number, as the Windows conversion does.
constexpr gunichar kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void Append(std::string& out, gunichar c) {
  char buffer[6];
  out.append(buffer, static_cast<size_t>(g_unichar_to_utf8(c, buffer)));
}

// Whether the text is UTF-8 apart from its NULs, which GLib's check
// counts as invalid.
bool IsUtf8(std::string_view bytes) {
  for (size_t start = 0; start <= bytes.size();) {
    size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view piece = bytes.substr(start, end - start);
    if (!g_utf8_validate(piece.data(), static_cast<gssize>(piece.size()),
                         nullptr)) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
  const bool utf8 = IsUtf8(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0) {
      // A NUL would end the text the view draws; the symbol for NUL keeps
      // the rest of the entry visible.
      Append(out, 0x2400);
    } else if (utf8 || byte < 0x80) {
      out += static_cast<char>(byte);
    } else if (byte < 0xA0) {
      Append(out, kHighControls[byte - 0x80]);
    } else {
      Append(out, byte);
    }
  }
  return out;
}

}  // namespace tovi::gtk
