#include "reorderer/kalvane.h"
#include "toolkit/system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunKalvane();
}
