// Loaded into kalvane-arrange by its tests (LD_PRELOAD), as a system
// without libgit2: loading any file whose name holds "libgit2" fails as
// loading a missing file does.
#include <dlfcn.h>

#include <cstring>
#include <string>

extern "C" void* dlopen(const char* file, int mode) {
  using Dlopen = void* (*)(const char*, int);
  static const auto next = reinterpret_cast<Dlopen>(dlsym(RTLD_NEXT, "dlopen"));
  if (file != nullptr && std::strstr(file, "libgit2") != nullptr) {
    return next(("/nonexistent/" + std::string(file)).c_str(), mode);
  }
  return next(file, mode);
}
