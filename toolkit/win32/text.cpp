// Text crossing the system boundary: the programs hold UTF-8, the wide
// system calls take UTF-16.
//
// Bytes that are not UTF-8 (a source file written in an old 8-bit code
// page, say) must neither crash nor vanish. Replacing each bad byte with
// U+FFFD would make different names look alike and compare equal, so such a
// text is read whole in the ANSI code page instead: every byte becomes a
// character, and an accented name from such a file reads as intended.
#include <limits>

#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

std::wstring Decode(UINT codePage, DWORD flags, std::string_view text) {
  if (text.empty() || text.size() > std::numeric_limits<int>::max()) {
    return std::wstring();
  }
  const int size = static_cast<int>(text.size());
  int length =
      MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring Widen(std::string_view text) {
  std::wstring wide = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text);
  if (wide.empty() && !text.empty()) wide = Decode(CP_ACP, 0, text);
  return wide;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty() || text.size() > std::numeric_limits<int>::max()) {
    return std::string();
  }
  const int size = static_cast<int>(text.size());
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0,
                                   nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

}  // namespace tovi::win32
