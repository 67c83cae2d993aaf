#include "reorderer/kalvane.h"

int main() {
  return RunKalvane();
}
