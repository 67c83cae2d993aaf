#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "document/file_io.h"

namespace {

// Symbolic links are followed this many times before the path counts as a
// loop, as the system itself does.
constexpr int kMaxLinks = 40;
constexpr int kMaxNameAttempts = 100;

int Fd(const TempFile& temp) {
  return static_cast<int>(temp.handle);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool ResolveTarget(const std::string& path, SaveTarget& target) {
  std::string current = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat info;
    if (lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) return false;
      // A new file, or the missing file a dangling link names.
      target = {current, false, 0};
      return true;
    }
    if (S_ISREG(info.st_mode)) {
      target = {current, true, static_cast<uint32_t>(info.st_mode & 07777)};
      return true;
    }
    if (!S_ISLNK(info.st_mode)) return false;
    // Some links report no size; a name longer than the room is refused.
    std::string link(
        std::max<size_t>(static_cast<size_t>(info.st_size) + 1, 4096), '\0');
    const ssize_t length = readlink(current.c_str(), link.data(), link.size());
    if (length < 0 || static_cast<size_t>(length) >= link.size()) return false;
    link.resize(static_cast<size_t>(length));
    current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
  }
  return false;
}

bool CreateTemporary(const SaveTarget& target, TempFile& temp) {
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    const std::string name = TemporaryNameFor(target.path);
    const int fd =
        open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    temp = {name, fd};
    if (target.exists &&
        fchmod(fd, static_cast<mode_t>(target.permissions)) != 0) {
      close(fd);
      unlink(name.c_str());
      temp = {};
      return false;
    }
    return true;
  }
  return false;
}

bool Write(TempFile& temp, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(Fd(temp), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool FlushToDisk(TempFile& temp) {
  return fsync(Fd(temp)) == 0;
}

bool Close(TempFile& temp) {
  // The descriptor is gone even when close reports an error.
  const int result = close(Fd(temp));
  temp.handle = -1;
  return result == 0;
}

// A failed rename changes nothing, so the old file is always still there.
Replacement Replace(const TempFile& temp, const SaveTarget& target) {
  return rename(temp.path.c_str(), target.path.c_str()) == 0
             ? Replacement::kDone
             : Replacement::kRefused;
}

bool SyncFolder(const SaveTarget& target) {
  const int fd =
      open(FolderOf(target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  // Some file systems cannot sync a folder at all; they have nothing to lose.
  const bool synced = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  close(fd);
  return synced;
}

void Discard(TempFile& temp) {
  if (temp.handle >= 0) Close(temp);
  if (!temp.path.empty()) unlink(temp.path.c_str());
}

bool OpenForReading(const std::string& path, intptr_t& handle, uint64_t& size) {
  // Only regular files: a pipe would block the program, and a device such
  // as /dev/zero would never end. O_NONBLOCK keeps the open of a pipe from
  // waiting; it changes nothing for a regular file.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  handle = fd;
  size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool ReadSome(intptr_t handle, char* buffer, size_t room, size_t& got) {
  for (;;) {
    const ssize_t count = read(static_cast<int>(handle), buffer, room);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    got = static_cast<size_t>(count);
    return true;
  }
}

void CloseReading(intptr_t handle) {
  close(static_cast<int>(handle));
}

void StampFrom(const struct stat& info, FileStamp& stamp) {
  stamp.exists = true;
  stamp.volume = static_cast<uint64_t>(info.st_dev);
  stamp.fileId = static_cast<uint64_t>(info.st_ino);
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                   info.st_mtim.tv_nsec;
}

bool IdentifyOpen(intptr_t handle, FileStamp& stamp) {
  struct stat info;
  if (fstat(static_cast<int>(handle), &info) != 0) return false;
  StampFrom(info, stamp);
  return true;
}

}  // namespace

bool IdentifyFile(const std::string& path, FileStamp& stamp) {
  stamp = {};
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return errno == ENOENT;
  StampFrom(info, stamp);
  return true;
}

std::string_view PlatformTerminator() {
  return "\n";
}

const ReadOps& PlatformReadOps() {
  static const ReadOps ops = {OpenForReading, ReadSome, CloseReading,
                              IdentifyOpen};
  return ops;
}

const FileOps& PlatformFileOps() {
  static const FileOps ops = {ResolveTarget, CreateTemporary, Write,
                              FlushToDisk,   Close,           Replace,
                              SyncFolder,    Discard};
  return ops;
}
