#include <windows.h>

#include <limits>
#include <utility>

#include "document/file_io.h"
#include "document/file_io_win32.h"
#include "document/system_path_win32.h"

namespace {

constexpr int kMaxNameAttempts = 100;
// Another program (a virus scanner, an indexer, an editor) may hold the target
// open for a moment; the replacement is retried for about a second.
constexpr int kReplaceAttempts = 20;
constexpr DWORD kReplaceWaitMs = 50;
constexpr DWORD kMaxChunk = 1u << 30;
constexpr DWORD kCopyChunk = 1u << 16;
constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Handle(const TempFile& temp) {
  return reinterpret_cast<HANDLE>(temp.handle);
}

bool Widen(const std::string& utf8, std::wstring& wide) {
  wide.clear();
  if (utf8.empty()) return true;
  if (utf8.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
    return false;
  }
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                         utf8.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<size_t>(length));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size,
                             wide.data(), length) == length;
}

}  // namespace

bool Narrow(const std::wstring& wide, std::string& utf8) {
  utf8.clear();
  if (wide.empty()) return true;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size,
                          nullptr, 0, nullptr, nullptr);
  if (length <= 0) return false;
  utf8.resize(static_cast<size_t>(length));
  return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size,
                             utf8.data(), length, nullptr, nullptr) == length;
}

// The path a file call is given: the full path in its extended-length form
// (\\?\C:\... or \\?\UNC\server\share\...), which the system takes up to
// 32767 characters instead of MAX_PATH's 260. The temporary file's name is
// 18 characters longer than the target's, so without it a legal target of
// 242 characters or more could not be saved. The form also turns off the
// system's clean-up of '/', '.' and '..', so the full path is made first.
bool SystemPath(const std::string& utf8, std::wstring& wide) {
  std::wstring given;
  if (!Widen(utf8, given) || given.empty()) return false;
  // Already extended, or a device such as \\.\pipe: left as it is.
  if (given.rfind(L"\\\\?\\", 0) == 0 || given.rfind(L"\\\\.\\", 0) == 0) {
    wide = std::move(given);
    return true;
  }
  const DWORD room = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (room == 0) return false;
  std::wstring full(room, L'\0');
  const DWORD length =
      GetFullPathNameW(given.c_str(), room, full.data(), nullptr);
  if (length == 0 || length >= room) return false;
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0) {
    wide = L"\\\\?\\UNC\\" + full.substr(2);
  } else {
    wide = L"\\\\?\\" + full;
  }
  return true;
}

namespace {

// The file a link (or any reparse point) finally leads to.
bool FinalPath(const std::wstring& path, std::string& target) {
  const HANDLE file =
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::wstring final(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, final.data(),
                                           static_cast<DWORD>(final.size()),
                                           FILE_NAME_NORMALIZED);
  if (length >= final.size()) {
    final.resize(length);
    length = GetFinalPathNameByHandleW(file, final.data(),
                                       static_cast<DWORD>(final.size()),
                                       FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
  if (length == 0 || length >= final.size()) return false;
  final.resize(length);
  return Narrow(final, target);
}

HANDLE OpenExisting(const std::string& path, DWORD access, DWORD share) {
  std::wstring wide;
  if (!SystemPath(path, wide)) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// How many names (hard links) the file has.
bool CountNames(const std::string& path, DWORD& names) {
  const HANDLE file = OpenExisting(path, FILE_READ_ATTRIBUTES, kShareAll);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return false;
  names = info.nNumberOfLinks;
  return true;
}

// The target's path is kept in its extended-length form, and the temporary
// file's is made from it, so every later step passes such paths. A file
// marked read-only is refused, as the system would refuse to write it.
// ReplaceFileW keeps the file's attributes, security and owner, but the
// file's other names would keep the old bytes: such a file is rewritten in
// place.
bool ResolveTarget(const std::string& path, SaveTarget& target) {
  std::wstring wide;
  std::string full;
  if (!SystemPath(path, wide) || !Narrow(wide, full)) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      return false;
    }
    target = {full, false, 0};
    return true;
  }
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
    return false;
  }
  target = {full, true, attributes};
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
      !FinalPath(wide, target.path)) {
    return false;
  }
  DWORD names = 0;
  if (!CountNames(target.path, names)) return false;
  target.inPlace = names > 1;
  return true;
}

// Creates a file of a new name beside `target`, never an existing one.
HANDLE CreateBeside(const std::string& target, std::string& name) {
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    name = TemporaryNameFor(target);
    std::wstring wide;
    if (!SystemPath(name, wide)) return INVALID_HANDLE_VALUE;
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
      return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}

bool CreateTemporary(const SaveTarget& target, TempFile& temp) {
  std::string name;
  const HANDLE file = CreateBeside(target.path, name);
  if (file == INVALID_HANDLE_VALUE) return false;
  temp = {name, reinterpret_cast<intptr_t>(file)};
  return true;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk =
        bytes.size() < kMaxChunk ? static_cast<DWORD>(bytes.size()) : kMaxChunk;
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool Write(TempFile& temp, std::string_view bytes) {
  return WriteAll(Handle(temp), bytes);
}

// Copies what is left to read of `from` to `to`.
bool CopyAll(HANDLE from, HANDLE to) {
  std::string buffer(kCopyChunk, '\0');
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(from, buffer.data(), kCopyChunk, &count, nullptr)) {
      return false;
    }
    if (count == 0) return true;
    if (!WriteAll(to, {buffer.data(), count})) return false;
  }
}

bool FlushToDisk(TempFile& temp) {
  return FlushFileBuffers(Handle(temp)) != 0;
}

bool Close(TempFile& temp) {
  const BOOL closed = CloseHandle(Handle(temp));
  temp.handle = -1;
  return closed != 0;
}

bool Busy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Makes `call` until it is done, fails for good, or the target stayed busy
// for all the attempts; its last error code, 0 when done.
template <typename Call>
DWORD UntilNotBusy(const Call& call) {
  DWORD error = call();
  for (int attempt = 1; attempt < kReplaceAttempts && Busy(error); ++attempt) {
    Sleep(kReplaceWaitMs);
    error = call();
  }
  return error;
}

DWORD SystemReplaceFile(const wchar_t* target, const wchar_t* replacement) {
  return ReplaceFileW(target, replacement, nullptr,
                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
             ? 0
             : GetLastError();
}

DWORD SystemMoveFile(const wchar_t* from, const wchar_t* to) {
  return MoveFileExW(from, to,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : GetLastError();
}

Replacement Replace(const TempFile& temp, const SaveTarget& target) {
  return ReplaceThrough(PlatformReplaceCalls(), temp, target);
}

// The replacement is written through (MoveFileExW) or journalled by the file
// system (ReplaceFileW); Windows offers no folder sync to add to that.
bool SyncFolder(const SaveTarget&) {
  return true;
}

void Discard(TempFile& temp) {
  if (temp.handle != -1) Close(temp);
  std::wstring wide;
  if (!temp.path.empty() && SystemPath(temp.path, wide)) {
    DeleteFileW(wide.c_str());
  }
}

bool BackUp(const SaveTarget& target, TempFile& backup) {
  std::string name;
  const HANDLE file = CreateBeside(target.path, name);
  if (file == INVALID_HANDLE_VALUE) return false;
  const HANDLE from = OpenExisting(target.path, GENERIC_READ, kShareAll);
  bool copied = from != INVALID_HANDLE_VALUE && CopyAll(from, file) &&
                FlushFileBuffers(file) != 0;
  if (from != INVALID_HANDLE_VALUE) CloseHandle(from);
  copied = CloseHandle(file) != 0 && copied;
  if (!copied) {
    std::wstring wide;
    if (SystemPath(name, wide)) DeleteFileW(wide.c_str());
    return false;
  }
  backup = {name, -1};
  return true;
}

// Others may go on reading the file, but not write it while it is rewritten.
bool OpenInPlace(const SaveTarget& target, TempFile& file) {
  const HANDLE handle =
      OpenExisting(target.path, GENERIC_WRITE, FILE_SHARE_READ);
  if (handle == INVALID_HANDLE_VALUE) return false;
  file = {"", reinterpret_cast<intptr_t>(handle)};
  return true;
}

bool Truncate(TempFile& file) {
  return SetEndOfFile(Handle(file)) != 0;
}

bool Restore(const TempFile& backup, const SaveTarget& target) {
  const HANDLE from = OpenExisting(backup.path, GENERIC_READ, FILE_SHARE_READ);
  if (from == INVALID_HANDLE_VALUE) return false;
  const HANDLE to = OpenExisting(target.path, GENERIC_WRITE, FILE_SHARE_READ);
  bool restored = to != INVALID_HANDLE_VALUE && CopyAll(from, to) &&
                  SetEndOfFile(to) != 0 && FlushFileBuffers(to) != 0;
  CloseHandle(from);
  if (to != INVALID_HANDLE_VALUE) restored = CloseHandle(to) != 0 && restored;
  return restored;
}

bool OpenForReading(const std::string& path, intptr_t& handle, uint64_t& size) {
  std::wstring wide;
  if (!SystemPath(path, wide)) return false;
  // Directories cannot be opened without backup semantics, so they fail here.
  const HANDLE file =
      CreateFileW(wide.c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Only files on a disk: a pipe or a device could block or never end.
  LARGE_INTEGER length;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &length)) {
    CloseHandle(file);
    return false;
  }
  handle = reinterpret_cast<intptr_t>(file);
  size = static_cast<uint64_t>(length.QuadPart);
  return true;
}

bool ReadSome(intptr_t handle, char* buffer, size_t room, size_t& got) {
  DWORD count = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle), buffer,
                room < kMaxChunk ? static_cast<DWORD>(room) : kMaxChunk, &count,
                nullptr)) {
    return false;
  }
  got = count;
  return true;
}

void CloseReading(intptr_t handle) {
  CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool IdentifyOpen(intptr_t handle, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(handle), &info)) {
    return false;
  }
  stamp.exists = true;
  stamp.volume = info.dwVolumeSerialNumber;
  stamp.fileId = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  stamp.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  stamp.modified = static_cast<int64_t>(
      (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
      info.ftLastWriteTime.dwLowDateTime);
  return true;
}

}  // namespace

bool IdentifyFile(const std::string& path, FileStamp& stamp) {
  stamp = {};
  std::wstring wide;
  if (!SystemPath(path, wide)) return false;
  // Opened for its attributes only, sharing everything, so that an editor
  // holding the file is not disturbed; links are followed to their file.
  const HANDLE file =
      CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  const bool known = IdentifyOpen(reinterpret_cast<intptr_t>(file), stamp);
  CloseHandle(file);
  return known;
}

const ReplaceCalls& PlatformReplaceCalls() {
  static const ReplaceCalls calls = {SystemReplaceFile, SystemMoveFile};
  return calls;
}

Replacement ReplaceThrough(const ReplaceCalls& calls, const TempFile& temp,
                           const SaveTarget& target) {
  std::wstring from;
  std::wstring to;
  if (!SystemPath(temp.path, from) || !SystemPath(target.path, to)) {
    return Replacement::kRefused;
  }
  const auto move = [&] { return calls.moveFile(from.c_str(), to.c_str()); };
  // ReplaceFileW keeps the target's attributes and security; a new target
  // has none to keep. Past MAX_PATH it is not to be trusted: it sets the old
  // file aside under a temporary name of its own making, which some systems
  // make in a buffer of MAX_PATH characters, and it then fails by chance;
  // so a file that deep is replaced as a plain file, its folder's security
  // applying to it.
  constexpr size_t kExtendedPrefix = 4;  // \\?\ before the full path
  if (!target.exists || to.size() - kExtendedPrefix > MAX_PATH) {
    return UntilNotBusy(move) == 0 ? Replacement::kDone : Replacement::kRefused;
  }
  const DWORD error =
      UntilNotBusy([&] { return calls.replaceFile(to.c_str(), from.c_str()); });
  if (error == 0) return Replacement::kDone;
  // These two leave nothing under the target's name (the old file deleted,
  // or renamed to a name of the system's choosing) while the new bytes are
  // still only under the temporary name: they are moved in as a plain file,
  // and should even that fail, the temporary file is the one copy of them.
  if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
      error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    return Replacement::kRefused;
  }
  return UntilNotBusy(move) == 0 ? Replacement::kDone
                                 : Replacement::kOnlyInTemporary;
}

// Large pages take a privilege few users hold; the system's own paging is
// used as it is.
void PreferLargePages(void*, size_t) {}

std::string_view PlatformTerminator() {
  return "\r\n";
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
