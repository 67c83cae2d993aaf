#include <cstdio>
#include <string>

#include "reorderer/kalvane.h"

// kalvane FILE loads FILE at start, as a file manager's "open with" asks.
// --help and --version are answered before the toolkit starts, so they
// work without a display.
int main(int argc, char** argv) {
  const std::string argument = argc > 1 ? argv[1] : "";
  if (const char* about = KalvaneAbout(argument)) {
    return std::fputs(about, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
  }
  return RunKalvane(argument);
}
