// What the benchmarks share: a clock, the median of runs, the generated
// source files they time, and how a figure is printed.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;

inline double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A file of about `lines` lines declaring `functions` functions whose bodies
// stand in shuffled order, so that loading has to rebuild everything.
inline std::string MakeSource(int lines, int functions, std::mt19937& random) {
  std::string text = "' generated for timing\n";
  for (int f = 0; f < functions; ++f) {
    text += "DECLARE FUNCTION Work" + std::to_string(f) + " (n)\n";
  }
  std::vector<int> order(static_cast<size_t>(functions));
  for (int f = 0; f < functions; ++f) order[static_cast<size_t>(f)] = f;
  std::shuffle(order.begin(), order.end(), random);
  const int bodyLines = (lines - functions - 2) / functions - 3;
  for (int f : order) {
    text += "' what Work" + std::to_string(f) + " does\n";
    text += "FUNCTION Work" + std::to_string(f) + " (n)\n";
    for (int i = 0; i < bodyLines; ++i) {
      text += "  total = total + n * " + std::to_string(i) + " ' step\n";
    }
    text += "END FUNCTION\n";
  }
  return text + "' end of file\n";
}

// One figure a line, "NAME: VALUE UNIT".
inline void Print(const char* name, double value, const char* unit) {
  std::printf("%s: %.3f %s\n", name, value, unit);
}

}  // namespace bench
