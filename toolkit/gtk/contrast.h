// Contrast between two colours as readers with low vision perceive it: the
// ratio of their relative luminances (sRGB channels from 0 to 1), from 1:1
// for equal colours to 21:1 for black on white. Text needs 4.5:1 to be
// readable at ordinary sizes. Plain arithmetic, so the end-to-end tests
// measure colours read from the screen with the same formula.
#pragma once

#include <algorithm>
#include <cmath>

namespace tovi::gtk {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

inline double RelativeLuminance(const Rgb& colour) {
  auto linear = [](double channel) {
    return channel <= 0.04045 ? channel / 12.92
                              : std::pow((channel + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.r) + 0.7152 * linear(colour.g) +
         0.0722 * linear(colour.b);
}

inline double ContrastRatio(const Rgb& a, const Rgb& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace tovi::gtk
