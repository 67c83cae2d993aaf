// What kalvane-arrange was asked to do, read from its command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class ArrangeMode {
  kWrite,  // rewrite each file that would change
  kCheck,  // name each file that would change, write nothing
  kDiff,   // print how each file would change, write nothing
};

struct ArrangeOptions {
  ArrangeMode mode = ArrangeMode::kWrite;
  bool sort = false;
  bool quiet = false;
  unsigned jobs = 1;
  std::vector<std::string> paths;  // UTF-8; "-" is standard input
  // Patterns of what a folder's search passes over (see Excluded): the
  // defaults or --exclude's, then --extend-exclude's.
  std::vector<std::string> exclude{".*/"};
  bool followLinks = false;  // into folders outside the tree searched
  bool noConfig = false;     // settings files are not read
  std::string stdinName;     // what standard input is called; "" unnamed
};

// Reads `args` (without the program's name). On --help, --version or a
// mistake, prints what is due and gives the exit status to end with;
// otherwise fills `options` and gives nothing.
std::optional<int> ParseOptions(const std::vector<std::string>& args,
                                ArrangeOptions& options);
