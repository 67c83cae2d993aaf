#include "toolkit/dialog_filter.h"

#include <algorithm>

namespace tovi {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The next NUL-terminated text of `rest` (all of it when no NUL is left).
std::string_view NextText(std::string_view& rest) {
  size_t end = std::min(rest.find('\0'), rest.size());
  std::string_view text = rest.substr(0, end);
  rest.remove_prefix(std::min(end + 1, rest.size()));
  return text;
}

std::vector<std::string> SplitPatterns(std::string_view text) {
  std::vector<std::string> patterns;
  while (true) {
    size_t end = std::min(text.find(';'), text.size());
    std::string_view pattern = Trim(text.substr(0, end));
    if (!pattern.empty()) patterns.emplace_back(pattern);
    if (end == text.size()) break;
    text.remove_prefix(end + 1);
  }
  return patterns;
}

// Glob matching without recursion: on a mismatch, let the last '*' take one
// more character and go on from there. Linear in practice, and never worse
// than name length times pattern length.
bool Glob(std::string_view name, std::string_view pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starP = std::string_view::npos;
  size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

std::vector<FileFilter> ParseDialogFilter(std::string_view filter) {
  std::vector<FileFilter> filters;
  while (!filter.empty()) {
    std::string_view description = NextText(filter);
    if (description.empty()) break;
    std::string_view patterns = NextText(filter);
    if (patterns.empty()) break;
    FileFilter parsed{std::string(description), SplitPatterns(patterns)};
    if (!parsed.patterns.empty()) filters.push_back(std::move(parsed));
  }
  return filters;
}

bool MatchesFilterPattern(std::string_view fileName, std::string_view pattern) {
  if (Glob(fileName, pattern)) return true;
  return pattern.ends_with(".*") &&
         fileName.find('.') == std::string_view::npos &&
         Glob(fileName, pattern.substr(0, pattern.size() - 2));
}

bool MatchesFilter(const FileFilter& filter, std::string_view fileName) {
  return std::ranges::any_of(filter.patterns, [&](const std::string& pattern) {
    return MatchesFilterPattern(fileName, pattern);
  });
}

}  // namespace tovi
