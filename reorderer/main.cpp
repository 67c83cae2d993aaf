#include "reorderer/kalvane.h"

// kalvane FILE loads FILE at start, as a file manager's "open with" asks.
int main(int argc, char** argv) {
  return RunKalvane(argc > 1 ? argv[1] : "");
}
