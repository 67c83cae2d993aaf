#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "document/file_io.h"

namespace {

// Symbolic links are followed this many times before the path counts as a
// loop, as the system itself does.
constexpr int kMaxLinks = 40;
constexpr int kMaxNameAttempts = 100;
constexpr size_t kCopyChunk = 1 << 16;
constexpr char kAccessList[] = "system.posix_acl_access";

int Fd(const TempFile& temp) {
  return static_cast<int>(temp.handle);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A file nobody may write (no write permission bit at all) is refused even
// to root, whom the system would let replace it: its owner made it read-only
// to keep it as it is. Otherwise the system decides, for the user the
// program runs as.
bool MayWrite(const std::string& path, const struct stat& info) {
  return (info.st_mode & 0222) != 0 &&
         faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool IsOneOfMyGroups(gid_t group) {
  if (group == getegid()) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int got = getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) !=
                        groups.begin() + got;
}

// Whether a new file can be given this owner and group: root can give any,
// others only themselves and their own groups.
bool CanGive(uid_t owner, gid_t group) {
  return geteuid() == 0 || (owner == geteuid() && IsOneOfMyGroups(group));
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
      if (!MayWrite(current, info)) return false;
      // A rename gives the file's other names the old bytes, and a file of
      // another owner would become the saver's.
      const bool inPlace =
          info.st_nlink > 1 || !CanGive(info.st_uid, info.st_gid);
      target = {current, true,        info.st_mode & 07777,
                inPlace, info.st_uid, info.st_gid};
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

// Creates a file of a new name beside `target`, never an existing one; -1
// when that fails.
int CreateBeside(const std::string& target, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    name = TemporaryNameFor(target);
    const int fd =
        open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The names of the file's extended attributes, each ending in a NUL.
bool ListAttributes(const std::string& path, std::string& names) {
  const ssize_t room = listxattr(path.c_str(), nullptr, 0);
  // A file system without extended attributes has none to keep.
  if (room < 0) return errno == ENOTSUP;
  names.assign(static_cast<size_t>(room), '\0');
  const ssize_t length = listxattr(path.c_str(), names.data(), names.size());
  if (length < 0) return false;
  names.resize(static_cast<size_t>(length));
  return true;
}

// Gives the new file every extended attribute of the old one, access control
// lists included (they are stored as such attributes), and none it inherited
// from its folder that the old one did not have.
bool CopyAttributes(const std::string& from, int to) {
  std::string names;
  if (!ListAttributes(from, names)) return false;
  bool hadAccessList = false;
  for (size_t start = 0; start < names.size();) {
    const std::string name = names.c_str() + start;
    start += name.size() + 1;
    hadAccessList = hadAccessList || name == kAccessList;
    const ssize_t room = getxattr(from.c_str(), name.c_str(), nullptr, 0);
    if (room < 0) return false;
    std::string value(static_cast<size_t>(room), '\0');
    const ssize_t length =
        getxattr(from.c_str(), name.c_str(), value.data(), value.size());
    if (length < 0) return false;
    value.resize(static_cast<size_t>(length));
    // An attribute the new file already has (a security label given by its
    // folder, say) is not set again: setting it may take a privilege that
    // keeping it does not.
    std::string has(value.size() + 1, '\0');
    const ssize_t hasLength =
        fgetxattr(to, name.c_str(), has.data(), has.size());
    if (hasLength >= 0 &&
        has.substr(0, static_cast<size_t>(hasLength)) == value) {
      continue;
    }
    if (fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
      return false;
    }
  }
  return hadAccessList || fremovexattr(to, kAccessList) == 0 ||
         errno == ENODATA || errno == ENOTSUP;
}

// The owner and group first: changing them clears the set-user-ID and
// set-group-ID bits that the permissions then put back.
bool GiveIdentity(const SaveTarget& target, int fd) {
  return fchown(fd, static_cast<uid_t>(target.owner),
                static_cast<gid_t>(target.group)) == 0 &&
         CopyAttributes(target.path, fd) &&
         fchmod(fd, static_cast<mode_t>(target.permissions)) == 0;
}

bool CreateTemporary(const SaveTarget& target, TempFile& temp) {
  std::string name;
  const int fd = CreateBeside(target.path, 0666, name);
  if (fd < 0) return false;
  if (target.exists && !GiveIdentity(target, fd)) {
    close(fd);
    unlink(name.c_str());
    return false;
  }
  temp = {name, fd};
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A large file's bytes are handed to the disk in steps of this size while
// the rest is still being written, so that the sync at the end waits for
// little more than the last step.
constexpr off_t kWriteBackStep = off_t{8} << 20;

bool Write(TempFile& temp, std::string_view bytes) {
  const int fd = Fd(temp);
  if (!WriteAll(fd, bytes)) return false;
#ifdef SYNC_FILE_RANGE_WRITE
  const off_t end = lseek(fd, 0, SEEK_CUR);
  const off_t step = end / kWriteBackStep;
  if (end > 0 &&
      step > (end - static_cast<off_t>(bytes.size())) / kWriteBackStep) {
    // Only a start: whether it is taken or not, the sync still waits for
    // every byte.
    sync_file_range(fd, (step - 1) * kWriteBackStep, kWriteBackStep,
                    SYNC_FILE_RANGE_WRITE);
  }
#endif
  return true;
}

// Copies what is left to read of `from` to `to`.
bool CopyAll(int from, int to) {
  std::string buffer(kCopyChunk, '\0');
  for (;;) {
    const ssize_t count = read(from, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) return true;
    if (!WriteAll(to, {buffer.data(), static_cast<size_t>(count)})) {
      return false;
    }
  }
}

bool TruncateHere(int fd) {
  const off_t end = lseek(fd, 0, SEEK_CUR);
  return end >= 0 && ftruncate(fd, end) == 0;
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

// The backup holds the old bytes, which may be private: only its owner, the
// user saving, may read it.
bool BackUp(const SaveTarget& target, TempFile& backup) {
  std::string name;
  const int fd = CreateBeside(target.path, 0600, name);
  if (fd < 0) return false;
  const int from = open(target.path.c_str(), O_RDONLY | O_CLOEXEC);
  bool copied = from >= 0 && CopyAll(from, fd) && fsync(fd) == 0;
  if (from >= 0) close(from);
  copied = close(fd) == 0 && copied && SyncFolder(target);
  if (!copied) {
    unlink(name.c_str());
    return false;
  }
  backup = {name, -1};
  return true;
}

bool OpenInPlace(const SaveTarget& target, TempFile& file) {
  const int fd = open(target.path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  file = {"", fd};
  return true;
}

bool Truncate(TempFile& file) {
  return TruncateHere(Fd(file));
}

bool Restore(const TempFile& backup, const SaveTarget& target) {
  const int from = open(backup.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) return false;
  const int to = open(target.path.c_str(), O_WRONLY | O_CLOEXEC);
  bool restored =
      to >= 0 && CopyAll(from, to) && TruncateHere(to) && fsync(to) == 0;
  close(from);
  if (to >= 0) restored = close(to) == 0 && restored;
  return restored;
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

void PreferLargePages(void* data, size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  const uintptr_t begin =
      (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end =
      (reinterpret_cast<uintptr_t>(data) + size) & ~(kLargePage - 1);
  if (end > begin) {
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  }
#else
  (void)data;
  (void)size;
#endif
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
  static const FileOps ops = {
      ResolveTarget, CreateTemporary, Write,  FlushToDisk, Close,    Replace,
      SyncFolder,    Discard,         BackUp, OpenInPlace, Truncate, Restore};
  return ops;
}
