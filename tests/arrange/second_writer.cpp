// Loaded into kalvane-arrange by its tests (LD_PRELOAD), as another program
// that saves a file while kalvane-arrange arranges it: the first time any
// file is flushed to disk, which a save does after reading its file and
// before replacing it, the file named by SECOND_WRITER_PATH gets the bytes
// SECOND_WRITER_BYTES.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

extern "C" int fsync(int fd) {
  static std::atomic<bool> written{false};
  const char* path = std::getenv("SECOND_WRITER_PATH");
  const char* bytes = std::getenv("SECOND_WRITER_BYTES");
  if (path != nullptr && bytes != nullptr && !written.exchange(true)) {
    const int file = open(path, O_WRONLY | O_TRUNC);
    if (file >= 0) {
      [[maybe_unused]] const ssize_t wrote = write(file, bytes, strlen(bytes));
      close(file);
    }
  }
  using Fsync = int (*)(int);
  static const auto next = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
  return next(fd);
}
