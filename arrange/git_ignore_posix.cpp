#include <filesystem>
#include <memory>
#include <system_error>

#include "arrange/git_ignore.h"
#include "arrange/libgit2_posix.h"

namespace fs = std::filesystem;

namespace {

// Whether `folder` or a folder above it holds .git (a folder, or the file
// of a linked work tree): a cheap look that spares every run outside a
// work tree the loading of libgit2. It goes up from the resolved path, as
// libgit2 does, and finds every work tree libgit2 would; a .git that
// libgit2 then refuses costs only the loading.
bool InWorkTree(const std::string& folder) {
  std::error_code error;
  fs::path at = fs::canonical(folder, error);
  if (error) return false;
  for (;;) {
    if (fs::exists(at / ".git", error)) return true;
    if (at == at.root_path()) return false;
    at = at.parent_path();
  }
}

}  // namespace

std::optional<std::vector<bool>> IgnoredByGit(
    const std::string& folder, const std::vector<std::string>& files,
    std::string& error) {
  std::vector<bool> ignored(files.size(), false);
  if (files.empty() || !InWorkTree(folder)) return ignored;
  const Libgit2* git = LoadLibgit2(error);
  if (git == nullptr) return std::nullopt;
  git_repository* opened = nullptr;
  if (git->repository_open_ext(&opened, folder.c_str(), 0, nullptr) != 0) {
    return ignored;
  }
  const std::unique_ptr<git_repository, decltype(git->repository_free)>
      repository(opened, git->repository_free);
  const char* workdir = git->repository_workdir(opened);
  if (workdir == nullptr) return ignored;  // a bare repository
  // The rules take paths relative to the top of the work tree; both sides
  // resolved, so that a folder reached through a link still lies under it.
  std::error_code failed;
  const fs::path top = fs::canonical(workdir, failed);
  if (failed) return ignored;
  const fs::path here = fs::canonical(folder, failed);
  if (failed) return ignored;
  std::string prefix = here.lexically_relative(top).generic_string();
  if (prefix.empty() || prefix.rfind("..", 0) == 0) return ignored;
  prefix = prefix == "." ? "" : prefix + "/";
  // A file git tracks is not ignored, whatever the patterns say, as git
  // itself holds.
  git_index* index = nullptr;
  if (git->repository_index(&index, opened) != 0) index = nullptr;
  const std::unique_ptr<git_index, decltype(git->index_free)> indexFree(
      index, git->index_free);
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = prefix + files[i];
    if (index != nullptr && git->index_get_bypath(index, path.c_str(), 0)) {
      continue;
    }
    int result = 0;
    if (git->ignore_path_is_ignored(&result, opened, path.c_str()) == 0) {
      ignored[i] = result != 0;
    }
  }
  return ignored;
}
