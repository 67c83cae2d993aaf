#include "arrange/libgit2_posix.h"

#include <dlfcn.h>

namespace {

struct Loaded {
  Libgit2 library{};
  bool ok = false;
  std::string error;
};

// Each function by its name; false, with `error` naming the first one
// missing, when the file loaded is not the library the build saw.
template <typename Function>
bool Resolve(void* handle, const char* name, Function& function,
             std::string& error) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  if (function == nullptr) {
    error = std::string(KALVANE_LIBGIT2) + ": no function " + name;
  }
  return function != nullptr;
}

Loaded Load() {
  Loaded loaded;
  // The file name the library was built with (its SONAME), as the build
  // read it from the library it found, so that only a library of the same
  // interface is ever loaded. Never unloaded: its global state lives as
  // long as the process, and shutting it down gains nothing.
  void* handle = dlopen(KALVANE_LIBGIT2, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    loaded.error = why != nullptr ? why : KALVANE_LIBGIT2 ": cannot be loaded";
    return loaded;
  }
  Libgit2& git = loaded.library;
  decltype(&git_libgit2_init) init = nullptr;
  std::string& error = loaded.error;
  loaded.ok =
      Resolve(handle, "git_libgit2_init", init, error) &&
      Resolve(handle, "git_repository_open_ext", git.repository_open_ext,
              error) &&
      Resolve(handle, "git_repository_free", git.repository_free, error) &&
      Resolve(handle, "git_repository_workdir", git.repository_workdir,
              error) &&
      Resolve(handle, "git_repository_index", git.repository_index, error) &&
      Resolve(handle, "git_index_free", git.index_free, error) &&
      Resolve(handle, "git_index_get_bypath", git.index_get_bypath, error) &&
      Resolve(handle, "git_ignore_path_is_ignored", git.ignore_path_is_ignored,
              error);
  if (loaded.ok && init() < 0) {
    loaded.ok = false;
    error = KALVANE_LIBGIT2 ": cannot be set up";
  }
  return loaded;
}

}  // namespace

const Libgit2* LoadLibgit2(std::string& error) {
  // Loaded once, whichever thread asks first.
  static const Loaded loaded = Load();
  error = loaded.error;
  return loaded.ok ? &loaded.library : nullptr;
}
