// Waiting for windows on the test's X server by their titles, and pictures
// of them through ImageMagick.
#include <algorithm>

#include "tests/e2e_gtk/e2e.h"

namespace e2e {
namespace {

bool Contains(const std::vector<unsigned long>& windows, unsigned long window) {
  return std::ranges::find(windows, window) != windows.end();
}

}  // namespace

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
