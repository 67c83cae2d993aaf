#include "lsp/parse_message.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

namespace {

// Four hex digits at `at`; -1 when they are not.
long FourHex(std::string_view text, size_t at) {
  if (at + 4 > text.size()) return -1;
  long value = 0;
  for (size_t i = at; i < at + 4; ++i) {
    const int digit = HexValue(text[i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

void AppendUtf8(std::string& out, long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The length of the well-formed UTF-8 character at `at` (not ASCII), as
// the JSON library accepts them (no overlong forms, no surrogates, nothing
// past U+10FFFF); 0 when it is none.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  const unsigned lead = byte(at);
  const auto tail = [&](size_t i, unsigned lo, unsigned hi) {
    return byte(i) >= lo && byte(i) <= hi;
  };
  if (lead >= 0xC2 && lead <= 0xDF) return tail(at + 1, 0x80, 0xBF) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned lo = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned hi = lead == 0xED ? 0x9F : 0xBF;
    return tail(at + 1, lo, hi) && tail(at + 2, 0x80, 0xBF) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned lo = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned hi = lead == 0xF4 ? 0x8F : 0xBF;
    return tail(at + 1, lo, hi) && tail(at + 2, 0x80, 0xBF) &&
                   tail(at + 3, 0x80, 0xBF)
               ? 4
               : 0;
  }
  return 0;
}

// Decodes the inside of a JSON string (between its quotes). False when it
// is no valid JSON string.
bool DecodeString(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    // Runs of plain ASCII are copied whole.
    size_t run = i;
    while (run < text.size()) {
      const unsigned char c = static_cast<unsigned char>(text[run]);
      if (c < 0x20 || c == '\\' || c >= 0x80) break;
      ++run;
    }
    out.append(text.data() + i, run - i);
    i = run;
    if (i == text.size()) break;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20) return false;
    if (c >= 0x80) {
      const size_t length = Utf8Length(text, i);
      if (length == 0) return false;
      out.append(text.data() + i, length);
      i += length;
      continue;
    }
    // A backslash.
    if (i + 1 >= text.size()) return false;
    const char escaped = text[i + 1];
    i += 2;
    switch (escaped) {
      case '"':
        out += '"';
        break;
      case '\\':
        out += '\\';
        break;
      case '/':
        out += '/';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        long code = FourHex(text, i);
        if (code < 0) return false;
        i += 4;
        if (code >= 0xDC00 && code <= 0xDFFF) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
          if (i + 2 > text.size() || text[i] != '\\' || text[i + 1] != 'u') {
            return false;
          }
          const long low = FourHex(text, i + 2);
          if (low < 0xDC00 || low > 0xDFFF) return false;
          i += 6;
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, code);
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

// Puts the long strings back in place of their stand-ins.
void SwapBack(Json& value, const std::string& prefix,
              std::vector<std::string>& longStrings) {
  if (value.is_string()) {
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() > prefix.size() &&
        text.compare(0, prefix.size(), prefix) == 0) {
      const size_t k = std::stoul(text.substr(prefix.size()));
      if (k < longStrings.size()) value = std::move(longStrings[k]);
    }
    return;
  }
  if (value.is_object() || value.is_array()) {
    for (Json& member : value) SwapBack(member, prefix, longStrings);
  }
}

}  // namespace

Json ParseMessage(std::string_view body, size_t longString) {
  // The stand-in names the long string it stands for behind a prefix no
  // client can guess, so that no string of the message passes for one.
  static const std::string prefix = [] {
    std::random_device random;
    return "\x01kalvane-lsp-" + std::to_string(random()) + "-" +
           std::to_string(random()) + ":";
  }();
  std::vector<std::string> longStrings;
  std::string shortened;
  size_t copied = 0;
  size_t i = 0;
  while (i < body.size()) {
    // The library takes a NUL outside a string for the end of the input,
    // and so does this.
    if (body[i] == '\0') break;
    if (body[i] != '"') {
      ++i;
      continue;
    }
    // A string: its end is the next quote not escaped.
    size_t end = i + 1;
    while (end < body.size() && body[end] != '"') {
      end += body[end] == '\\' ? 2 : 1;
    }
    if (end >= body.size()) break;  // unterminated: the library says so
    const size_t length = end - i - 1;
    // Only values stand aside; a member's name stays where it is.
    size_t next = end + 1;
    while (next < body.size() && (body[next] == ' ' || body[next] == '\t' ||
                                  body[next] == '\n' || body[next] == '\r')) {
      ++next;
    }
    const bool name = next < body.size() && body[next] == ':';
    if (length >= longString && !name) {
      std::string decoded;
      if (!DecodeString(body.substr(i + 1, length), decoded)) {
        return Json(Json::value_t::discarded);
      }
      shortened.append(body.data() + copied, i - copied);
      shortened += '"';
      // The stand-in is escaped for JSON: its first character is \x01.
      shortened += "\\u0001" + prefix.substr(1) +
                   std::to_string(longStrings.size()) + '"';
      longStrings.push_back(std::move(decoded));
      copied = end + 1;
    }
    i = end + 1;
  }
  if (longStrings.empty()) return Json::parse(body, nullptr, false);
  shortened.append(body.data() + copied, body.size() - copied);
  Json message = Json::parse(shortened, nullptr, false);
  if (!message.is_discarded()) SwapBack(message, prefix, longStrings);
  return message;
}
