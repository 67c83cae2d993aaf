#include "document/natural_order.h"

#include <cstddef>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

unsigned char Folded(char c) {
  return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

// The digits of the run starting at `at`, without leading zeros; `at` moves
// past the run. Runs of any length compare without overflow this way.
std::string_view DigitRun(std::string_view text, size_t& at) {
  while (at < text.size() && text[at] == '0') ++at;
  const size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return text.substr(start, at - start);
}

// Negative, zero or positive as the number a writes is smaller, equal or
// larger than b's.
int CompareNumbers(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

}  // namespace

bool NaturalNameLess(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const int order = CompareNumbers(DigitRun(a, i), DigitRun(b, j));
      if (order != 0) return order < 0;
      continue;
    }
    // A digit meets any other byte as itself: no other byte lies between
    // '0' and '9', so the run's first digit stands for the whole run.
    const unsigned char x = Folded(a[i]);
    const unsigned char y = Folded(b[j]);
    if (x != y) return x < y;
    ++i;
    ++j;
  }
  return i == a.size() && j < b.size();
}
