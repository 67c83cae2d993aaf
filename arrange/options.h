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
  bool verbose = false;  // a line on standard error for each file
  // In ArrangeMode::kWrite, end with status 1 when a file was arranged, as
  // a hook that fixes files must, so that the commit is made again.
  bool exitNonzeroOnChange = false;
  bool color = false;  // colour the diff, as decided from --color
  unsigned jobs = 1;
  std::vector<std::string> paths;  // UTF-8; "-" is standard input
  // Patterns of what a folder's search passes over (see Excluded): the
  // defaults or --exclude's, then --extend-exclude's.
  std::vector<std::string> exclude{".*/"};
  bool followLinks = false;  // into folders outside the tree searched
  bool noConfig = false;     // settings files are not read
  std::string stdinName;     // what standard input is called; "" unnamed
};

// The status a run ends with: 3 outweighs 1, since a file that could not be
// arranged needs the user whatever the others would become.
constexpr int kAllFine = 0;
constexpr int kWouldChange = 1;  // --check, --diff, --exit-nonzero-on-change
constexpr int kUsageError = 2;   // the command line is wrong
constexpr int kFileNotArranged = 3;  // a file refused, unreadable, unwritable

// Prints "kalvane-arrange: error: MESSAGE" on standard error and gives
// kUsageError.
int UsageError(const std::string& message);

// Reads `args` (without the program's name). On --help, --version or a
// mistake, prints what is due and gives the exit status to end with;
// otherwise fills `options` and gives nothing.
std::optional<int> ParseOptions(const std::vector<std::string>& args,
                                ArrangeOptions& options);
