#include "dragdemo/listdrag.h"
#include "toolkit/system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunListdrag();
}
