// The files a run arranges, found from the paths on the command line.
#pragma once

#include <string>
#include <vector>

struct SourceFile {
  std::string path;  // UTF-8, as reported; "<stdin>" for standard input
  bool standardInput = false;
  // Set when the path cannot be arranged at all (it does not exist, a
  // folder cannot be read): what is wrong, reported as "PATH:1: error: ...".
  std::string error;
};

// The files to arrange, in the order of `paths`; a folder gives its *.ost
// files (any letter case) in path order, searched recursively, skipping
// hidden folders. A file or folder reached twice (through symbolic links,
// hard links, junctions or another letter case of its name) is arranged
// once, which also ends any loop of links.
std::vector<SourceFile> FindSourceFiles(const std::vector<std::string>& paths);
