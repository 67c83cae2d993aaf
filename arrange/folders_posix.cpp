#include <filesystem>
#include <system_error>

#include "arrange/folders.h"

namespace fs = std::filesystem;

PathKind KindOf(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::is_directory(status)) return PathKind::kFolder;
  if (fs::exists(status) || fs::is_symlink(fs::symlink_status(path, error))) {
    return PathKind::kOther;
  }
  return PathKind::kMissing;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code statusError;
    entries.push_back({it->path().filename().string(),
                       fs::is_directory(it->status(statusError)),
                       it->is_symlink(statusError)});
  }
  return !error;
}

std::string ResolvedPath(const std::string& path) {
  std::error_code error;
  const fs::path resolved = fs::canonical(path, error);
  return error ? "" : resolved.string();
}

void ExpandWildcards(std::vector<std::string>&) {}
