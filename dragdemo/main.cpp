#include <cstdio>
#include <string>

#include "dragdemo/listdrag.h"

// listdrag takes nothing on its command line but --help and --version,
// answered before the toolkit starts, so without a display.
int main(int argc, char** argv) {
  if (const char* about = ListdragAbout(argc > 1 ? argv[1] : "")) {
    return std::fputs(about, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
  }
  return RunListdrag();
}
