// Loaded into kalvane-arrange by its tests (LD_PRELOAD), as another program
// that saves a file while kalvane-arrange arranges it: the first time any
// file is flushed to disk, which a save does after reading its file and
// before replacing it, the file named by SECOND_WRITER_PATH gets the bytes
// SECOND_WRITER_BYTES. With SECOND_WRITER_IN_PLACE they are written over its
// first bytes instead, and its modification time is put back, as a program
// that keeps file times would leave it.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

extern "C" int fsync(int fd) {
  static std::atomic<bool> written{false};
  const char* path = std::getenv("SECOND_WRITER_PATH");
  const char* bytes = std::getenv("SECOND_WRITER_BYTES");
  if (path != nullptr && bytes != nullptr && !written.exchange(true)) {
    const bool inPlace = std::getenv("SECOND_WRITER_IN_PLACE") != nullptr;
    const int file = open(path, inPlace ? O_WRONLY : O_WRONLY | O_TRUNC);
    struct stat before {};
    if (file >= 0 && fstat(file, &before) == 0) {
      [[maybe_unused]] const ssize_t wrote = write(file, bytes, strlen(bytes));
      const timespec times[2] = {before.st_atim, before.st_mtim};
      if (inPlace) futimens(file, times);
    }
    if (file >= 0) close(file);
  }
  using Fsync = int (*)(int);
  static const auto next = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
  return next(fd);
}
