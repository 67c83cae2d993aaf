// Off Windows the controls a program might load a system library for are
// built into the backend, so there is never anything to load.
#include "toolkit/system.h"

HMODULE LoadLibraryA(const char*) {
  return nullptr;
}
