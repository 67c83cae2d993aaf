#include "arrange/glob_match.h"

namespace {

char Fold(char c, bool ignoreCase) {
  return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Matches the bracket expression at the start of `pattern` (after its '[')
// against `c`. Gives the length of the expression up to and with its ']',
// or 0 when it has no end, in which case the '[' stands for itself.
size_t MatchSet(std::string_view pattern, char c, bool ignoreCase,
                bool& matched) {
  size_t i = 0;
  const bool negated =
      i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
  if (negated) ++i;
  bool found = false;
  bool first = true;
  c = Fold(c, ignoreCase);
  while (i < pattern.size() && (first || pattern[i] != ']')) {
    first = false;
    char low = pattern[i++];
    if (low == '\\' && i < pattern.size()) low = pattern[i++];
    char high = low;
    if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
      high = pattern[i + 1];
      i += 2;
      if (high == '\\' && i < pattern.size()) high = pattern[i++];
    }
    low = Fold(low, ignoreCase);
    high = Fold(high, ignoreCase);
    if (static_cast<unsigned char>(low) <= static_cast<unsigned char>(c) &&
        static_cast<unsigned char>(c) <= static_cast<unsigned char>(high)) {
      found = true;
    }
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
      if (c == '?') {
        if (text[t] != '/') {
          ++p;
          ++t;
          advanced = true;
        }
      } else if (c == '[') {
        bool matched = false;
        const size_t length =
            MatchSet(pattern.substr(p + 1), text[t], ignoreCase, matched);
        if (length == 0) {
          if (text[t] == '[') {
            ++p;
            ++t;
            advanced = true;
          }
        } else if (matched) {
          p += length + 1;
          ++t;
          advanced = true;
        }
      } else {
        char literal = c;
        size_t width = 1;
        if (c == '\\' && p + 1 < pattern.size()) {
          literal = pattern[p + 1];
          width = 2;
        }
        if (Fold(literal, ignoreCase) == Fold(text[t], ignoreCase)) {
          p += width;
          ++t;
          advanced = true;
        }
      }
    }
    if (advanced) continue;
    // A star never takes a '/': past one, the star can grow no more.
    if (starP == std::string_view::npos || text[starT] == '/') return false;
    p = starP;
    t = ++starT;
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
    while (pattern.substr(0, 2) == "./") pattern.remove_prefix(2);
    const bool anchored = pattern.find('/') != std::string_view::npos;
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
