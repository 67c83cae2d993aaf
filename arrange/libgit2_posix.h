// libgit2, loaded by kalvane-arrange the first time a folder it searches
// lies in a git work tree, rather than linked: linked, the library and the
// dozen and a half it needs in turn would be loaded at every start, which
// an editor's format-on-save and each batch of a pre-commit hook pay for
// without ever reading an ignore rule. Its header still gives the types.
#pragma once

#include <git2.h>

#include <string>

// The functions of libgit2 that git_ignore_posix.cpp calls.
struct Libgit2 {
  decltype(&git_repository_open_ext) repository_open_ext;
  decltype(&git_repository_free) repository_free;
  decltype(&git_repository_workdir) repository_workdir;
  decltype(&git_repository_index) repository_index;
  decltype(&git_index_free) index_free;
  decltype(&git_index_get_bypath) index_get_bypath;
  decltype(&git_ignore_path_is_ignored) ignore_path_is_ignored;
};

// The library, loaded and set up on the first call and kept for the rest of
// the process; null when it cannot be loaded, with `error` saying why (the
// loader's own words, naming the file), on that call and every later one.
const Libgit2* LoadLibgit2(std::string& error);
