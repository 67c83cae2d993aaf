#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "arrange/folders.h"
#include "arrange/glob_match.h"
#include "document/system_path_win32.h"

// Every call takes the extended-length form of the path, as the document's
// file calls do, so that folders nested deeper than MAX_PATH's 260
// characters are walked too; the standard library's calls stop there.

PathKind KindOf(const std::string& path) {
  std::wstring wide;
  if (!SystemPath(path, wide)) return PathKind::kMissing;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    // A name with wildcards left in it (one that matched nothing) cannot
    // be there either.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                   error == ERROR_INVALID_NAME
               ? PathKind::kMissing
               : PathKind::kOther;
  }
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kFolder
                                               : PathKind::kOther;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  std::wstring wide;
  if (!SystemPath(folder, wide)) return false;
  if (wide.back() != L'\\') wide += L'\\';
  wide += L'*';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(wide.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  const std::unique_ptr<void, decltype(&FindClose)> closer(search, FindClose);
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    std::string utf8;
    if (!Narrow(name, utf8)) return false;
    // Junctions are links to folders as much as symbolic links are.
    const bool link =
        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
         found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
    entries.push_back(
        {utf8, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, link});
  } while (FindNextFileW(search, &found));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

std::string ResolvedPath(const std::string& path) {
  std::wstring wide;
  if (!SystemPath(path, wide)) return "";
  // Backup semantics open folders too; the handle only names its target.
  const HANDLE handle = CreateFileW(
      wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return "";
  const std::unique_ptr<void, decltype(&CloseHandle)> closer(handle,
                                                             CloseHandle);
  std::wstring final(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(
        handle, final.data(), static_cast<DWORD>(final.size()),
        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return "";
    if (length < final.size()) {
      final.resize(length);
      break;
    }
    final.resize(length + 1);
  }
  std::string utf8;
  if (!Narrow(final, utf8)) return "";
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

void ExpandWildcards(std::vector<std::string>& paths) {
  std::vector<std::string> expanded;
  for (const std::string& path : paths) {
    const size_t cut = path.find_last_of("/\\:");
    const std::string folder =
        cut == std::string::npos ? "" : path.substr(0, cut + 1);
    const std::string name =
        cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.find_first_of("*?") == std::string::npos) {
      expanded.push_back(path);
      continue;
    }
    // Only * and ? are wildcards here; a bracket is part of a name.
    std::string pattern;
    for (const char c : name)
      pattern += c == '[' ? std::string("[[]") : std::string(1, c);
    std::vector<FolderEntry> entries;
    std::vector<std::string> names;
    if (ListFolder(folder.empty() ? "." : folder, entries)) {
      for (const FolderEntry& entry : entries) {
        if (GlobMatch(pattern, entry.name, true)) names.push_back(entry.name);
      }
    }
    if (names.empty()) {
      expanded.push_back(path);
      continue;
    }
    std::sort(
        names.begin(), names.end(),
        [](const std::string& a, const std::string& b) {
          return std::filesystem::path(std::u8string(a.begin(), a.end())) <
                 std::filesystem::path(std::u8string(b.begin(), b.end()));
        });
    for (const std::string& each : names) expanded.push_back(folder + each);
  }
  paths = std::move(expanded);
}
