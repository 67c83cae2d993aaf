// What the walk through folders asks of the system, one implementation per
// platform (folders_posix.cpp, folders_win32.cpp). Paths are UTF-8.
#pragma once

#include <string>
#include <vector>

enum class PathKind {
  kFolder,   // a folder, or a link that leads to one
  kOther,    // anything else there (a file, a pipe, a link leading nowhere)
  kMissing,  // nothing at the path
};

PathKind KindOf(const std::string& path);

struct FolderEntry {
  std::string name;     // UTF-8, without the folder
  bool folder = false;  // a folder, or a link that leads to one
  bool link = false;    // a symbolic link or junction
};

// The entries of `folder`, without "." and "..". False when it cannot be
// read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Where `path` leads, links and junctions resolved: absolute, UTF-8, '/'
// between names. Empty when it leads nowhere.
std::string ResolvedPath(const std::string& path);

// Replaces each path whose last name holds the wildcards * or ? by the
// paths that match it in their folder, in name order, as the shell does
// before a program starts on POSIX systems (there, this does nothing).
// Letter case is ignored, as Windows does; a pattern that matches nothing
// stays as it is.
void ExpandWildcards(std::vector<std::string>& paths);
