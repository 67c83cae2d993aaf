// git's ignore rules, asked of git's own implementation of them (libgit2
// where it is available, the git program on Windows): .gitignore files,
// .git/info/exclude and the user's excludes file, as git reads them.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Which of `files` git ignores: each is a path under `folder`, relative to
// it with '/' between names. All false when `folder` is in no git work tree
// or git cannot be asked. Nothing, with `error` saying why, when `folder`
// lies in a git work tree whose rules cannot be read at all (libgit2 is
// missing): which files git ignores is then unknown.
std::optional<std::vector<bool>> IgnoredByGit(
    const std::string& folder, const std::vector<std::string>& files,
    std::string& error);
