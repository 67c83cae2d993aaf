#include <windows.h>

#include <memory>

#include "arrange/folders.h"
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
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
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
    entries.push_back(
        {utf8, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  return GetLastError() == ERROR_NO_MORE_FILES;
}
