// The files a run arranges, found from the paths on the command line.
#pragma once

#include <string>
#include <vector>

#include "arrange/options.h"

struct SourceFile {
  std::string path;  // UTF-8, as reported; "<stdin>" for standard input
  bool standardInput = false;
  // Set when the path cannot be arranged at all (it does not exist, a
  // folder cannot be read): what is wrong, reported as "PATH:1: error: ...".
  std::string error;
  // Sorted first: --sort, or the settings file that applies to the file.
  bool sort = false;
  // Standard input named by a path that is excluded: passed through as it
  // came.
  bool passThrough = false;
};

// The files to arrange, in the order of `options.paths`. A folder gives its
// *.ost files (any letter case) in path order, searched recursively,
// passing over what the excludes of the options and of the settings files
// match and, inside a git work tree, what git ignores; symbolic links to
// folders outside it are followed only with `options.followLinks`. A file
// named in `options.paths` is arranged whatever would exclude it. A file or
// folder reached twice (through symbolic links, hard links, junctions or
// another letter case of its name) is arranged once, which also ends any
// loop of links. Each invalid settings file met adds its report to
// `errors`; its files are left out. A folder in a git work tree whose
// ignore rules cannot be read gives none of its files, and `unknownRules`
// says why (the first such folder's reason, once).
std::vector<SourceFile> FindSourceFiles(const ArrangeOptions& options,
                                        std::string& errors,
                                        std::string& unknownRules);
