// Finding windows on the test's X server by their titles, and pictures of
// them, through xdotool and ImageMagick.
#include <algorithm>
#include <sstream>

#include "tests/e2e_gtk/e2e.h"

namespace e2e {
namespace {

// xdotool searches by regular expression; a title matches only itself.
std::string ExactTitle(const std::string& title) {
  std::string pattern = "^";
  for (char c : title) {
    if (std::string_view(".[]{}()\\*+?^$|").find(c) != std::string_view::npos) {
      pattern += '\\';
    }
    pattern += c;
  }
  return pattern + "$";
}

bool Contains(const std::vector<unsigned long>& windows, unsigned long window) {
  return std::ranges::find(windows, window) != windows.end();
}

}  // namespace

std::string Xdo(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string output;
  if (Run(argv, &output) != 0) {
    std::string command;
    for (const std::string& arg : argv) command += " " + arg;
    Fail("xdotool failed:" + command);
  }
  return output;
}

std::vector<unsigned long> WindowsTitled(const std::string& title) {
  std::string output;
  // No match is an exit status of 1, not a failure.
  Run({"xdotool", "search", "--onlyvisible", "--name", ExactTitle(title)},
      &output);
  std::vector<unsigned long> windows;
  std::istringstream in(output);
  unsigned long window = 0;
  while (in >> window) windows.push_back(window);
  return windows;
}

unsigned long WaitForWindow(const std::string& title,
                            const std::vector<unsigned long>& except) {
  unsigned long found = 0;
  WaitFor([&] {
    for (unsigned long window : WindowsTitled(title)) {
      if (!Contains(except, window)) found = window;
    }
    return found != 0;
  });
  if (found == 0) Fail("no window titled \"" + title + "\" came up");
  return found;
}

void WaitForWindowGone(unsigned long window, const std::string& title) {
  if (!WaitFor([&] { return !Contains(WindowsTitled(title), window); })) {
    Fail("the window \"" + title + "\" did not go away");
  }
}

void Screenshot(const fs::path& file, unsigned long window) {
  fs::create_directories(file.parent_path());
  const std::string which = window == 0 ? "root" : std::to_string(window);
  if (Run({"import", "-window", which, file.string()}) != 0) {
    Fail("cannot take the screenshot " + file.string());
  }
}

}  // namespace e2e
