#include <git2.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>

#include "arrange/git_ignore.h"

namespace fs = std::filesystem;

namespace {

// The library's global state is set up once and kept for the process:
// shutting it down while another thread may still use it gains nothing.
void StartLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { git_libgit2_init(); });
}

}  // namespace

std::vector<bool> IgnoredByGit(const std::string& folder,
                               const std::vector<std::string>& files) {
  std::vector<bool> ignored(files.size(), false);
  if (files.empty()) return ignored;
  StartLibrary();
  git_repository* opened = nullptr;
  if (git_repository_open_ext(&opened, folder.c_str(), 0, nullptr) != 0) {
    return ignored;
  }
  const std::unique_ptr<git_repository, decltype(&git_repository_free)>
      repository(opened, git_repository_free);
  const char* workdir = git_repository_workdir(opened);
  if (workdir == nullptr) return ignored;  // a bare repository
  // The rules take paths relative to the top of the work tree; both sides
  // resolved, so that a folder reached through a link still lies under it.
  std::error_code error;
  const fs::path top = fs::canonical(workdir, error);
  if (error) return ignored;
  const fs::path here = fs::canonical(folder, error);
  if (error) return ignored;
  std::string prefix = here.lexically_relative(top).generic_string();
  if (prefix.empty() || prefix.rfind("..", 0) == 0) return ignored;
  prefix = prefix == "." ? "" : prefix + "/";
  // A file git tracks is not ignored, whatever the patterns say, as git
  // itself holds.
  git_index* index = nullptr;
  if (git_repository_index(&index, opened) != 0) index = nullptr;
  const std::unique_ptr<git_index, decltype(&git_index_free)> indexFree(
      index, git_index_free);
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = prefix + files[i];
    if (index != nullptr && git_index_get_bypath(index, path.c_str(), 0)) {
      continue;
    }
    int result = 0;
    if (git_ignore_path_is_ignored(&result, opened, path.c_str()) == 0) {
      ignored[i] = result != 0;
    }
  }
  return ignored;
}
