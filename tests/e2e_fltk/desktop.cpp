// Windows and input on the test's X server, through xdotool as a user's
// keyboard and mouse would act.
#include <algorithm>
#include <sstream>

#include "tests/e2e_fltk/e2e.h"

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

void Focus(unsigned long window) {
  Xdo({"windowfocus", std::to_string(window)});
}

void ClickAt(unsigned long window, int x, int y) {
  Xdo({"mousemove", "--window", std::to_string(window), std::to_string(x),
       std::to_string(y), "click", "1"});
}

void DragAlong(unsigned long window,
               const std::vector<std::pair<int, int>>& path,
               const std::function<void()>& afterEachStep) {
  const std::string id = std::to_string(window);
  for (size_t i = 0; i < path.size(); ++i) {
    std::vector<std::string> args = {"mousemove", "--window", id,
                                     std::to_string(path[i].first),
                                     std::to_string(path[i].second)};
    if (i == 0) args.insert(args.end(), {"mousedown", "1"});
    Xdo(args);
    afterEachStep();
  }
  Xdo({"mouseup", "1"});
}

void Screenshot(const fs::path& file, unsigned long window) {
  fs::create_directories(file.parent_path());
  const std::string which = window == 0 ? "root" : std::to_string(window);
  if (Run({"import", "-window", which, file.string()}) != 0) {
    Fail("cannot take the screenshot " + file.string());
  }
}

}  // namespace e2e
