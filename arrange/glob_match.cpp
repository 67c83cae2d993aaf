#include "arrange/glob_match.h"

namespace {

// The character at `text[i]`: its code point and its length in bytes. A
// name is UTF-8, and `?` stands for one character of it, not one byte; a
// byte that begins no valid sequence is a character of its own.
size_t Decode(std::string_view text, size_t i, unsigned& point) {
  const auto byte = [&](size_t at) {
    return static_cast<unsigned char>(text[at]);
  };
  const unsigned lead = byte(i);
  const size_t length = lead >= 0xF0 && lead < 0xF8   ? 4
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xC0 && lead < 0xE0 ? 2
                                                      : 1;
  point = length == 1 ? lead : lead & (0x7F >> length);
  if (i + length > text.size()) {
    point = lead;
    return 1;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      point = lead;
      return 1;
    }
    point = point << 6 | (byte(i + k) & 0x3F);
  }
  return length;
}

unsigned Fold(unsigned c, bool ignoreCase) {
  return ignoreCase && c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// Matches the bracket expression at the start of `pattern` (after its '[')
// against `c`. Gives the length of the expression up to and with its ']',
// or 0 when it has no end, in which case the '[' stands for itself.
size_t MatchSet(std::string_view pattern, unsigned c, bool ignoreCase,
                bool& matched) {
  size_t i = 0;
  const bool negated =
      i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
  if (negated) ++i;
  bool found = false;
  bool first = true;
  c = Fold(c, ignoreCase);
  // One character of the set, escaped or not.
  const auto next = [&] {
    if (pattern[i] == '\\' && i + 1 < pattern.size()) ++i;
    unsigned point = 0;
    i += Decode(pattern, i, point);
    return Fold(point, ignoreCase);
  };
  while (i < pattern.size() && (first || pattern[i] != ']')) {
    first = false;
    const unsigned low = next();
    unsigned high = low;
    if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
      ++i;
      high = next();
    }
    if (low <= c && c <= high) found = true;
  }
  if (i >= pattern.size()) return 0;
  matched = found != negated && c != '/';
  return i + 1;
}

}  // namespace

bool GlobMatch(std::string_view pattern, std::string_view text,
               bool ignoreCase) {
  // The classic backtracking over the last star: what the star took grows
  // by one character each time the rest fails, which is linear per star
  // and never exponential.
  size_t p = 0, t = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    bool advanced = false;
    if (p < pattern.size()) {
      const char c = pattern[p];
      if (c == '*') {
        while (p < pattern.size() && pattern[p] == '*') ++p;
        starP = p;
        starT = t;
        continue;
      }
      unsigned point = 0;
      const size_t width = Decode(text, t, point);
      if (c == '?') {
        if (text[t] != '/') {
          ++p;
          t += width;
          advanced = true;
        }
      } else if (c == '[') {
        bool matched = false;
        const size_t length =
            MatchSet(pattern.substr(p + 1), point, ignoreCase, matched);
        if (length == 0) {
          if (text[t] == '[') {
            ++p;
            ++t;
            advanced = true;
          }
        } else if (matched) {
          p += length + 1;
          t += width;
          advanced = true;
        }
      } else {
        const bool escaped = c == '\\' && p + 1 < pattern.size();
        const char literal = escaped ? pattern[p + 1] : c;
        if (Fold(static_cast<unsigned char>(literal), ignoreCase) ==
            Fold(static_cast<unsigned char>(text[t]), ignoreCase)) {
          p += escaped ? 2 : 1;
          ++t;
          advanced = true;
        }
      }
    }
    if (advanced) continue;
    // A star never takes a '/': past one, the star can grow no more.
    if (starP == std::string_view::npos || text[starT] == '/') return false;
    unsigned point = 0;
    starT += Decode(text, starT, point);
    p = starP;
    t = starT;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Excluded(const std::vector<std::string_view>& patterns,
              std::string_view path, bool folder) {
  for (std::string_view pattern : patterns) {
    bool foldersOnly = false;
    while (!pattern.empty() && pattern.back() == '/') {
      pattern.remove_suffix(1);
      foldersOnly = true;
    }
    // "./build" and "/build" are the build folder at the top alone.
    const bool anchored = pattern.find('/') != std::string_view::npos;
    while (pattern.substr(0, 2) == "./") pattern.remove_prefix(2);
    while (!pattern.empty() && pattern.front() == '/') pattern.remove_prefix(1);
    if (pattern.empty()) continue;
    // Each folder along the path, then the path itself: what lies under an
    // excluded folder is excluded with it.
    size_t start = 0;
    for (;;) {
      const size_t slash = path.find('/', start);
      const bool last = slash == std::string_view::npos;
      const std::string_view tried =
          anchored ? path.substr(0, slash)
                   : path.substr(start, last ? slash : slash - start);
      if ((!foldersOnly || !last || folder) && GlobMatch(pattern, tried)) {
        return true;
      }
      if (last) break;
      start = slash + 1;
    }
  }
  return false;
}
