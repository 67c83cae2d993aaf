#include "arrange/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "arrange/console.h"
#include "arrange/folders.h"
#include "document/file_io.h"
#include "kalvane_version.h"

namespace {

// Colour by default only for a person at a terminal who has not asked for
// none: NO_COLOR set to any non-empty text turns it off. An explicit
// --color always is the user's choice for this run and outweighs NO_COLOR,
// as that convention asks.
bool UseColor(const std::string& choice) {
  if (choice != "auto") return choice == "always";
  const char* noColor = std::getenv("NO_COLOR");
  return (noColor == nullptr || *noColor == '\0') && IsTerminal(stdout);
}

// Standard input to its end; false on a read error.
bool ReadAllInput(std::string& bytes) {
  char buffer[1 << 16];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    bytes.append(buffer, got);
  }
  return !std::ferror(stdin);
}

// The paths listed in `list`, one a line: lists written on Windows end
// their lines in CR LF, and blank lines (a last line ending, say) name
// nothing.
void AddListedPaths(const std::string& list, std::vector<std::string>& paths) {
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    std::string line = list.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A listed "-" is a file of that name: standard input is given as
    // a path, not in a list.
    if (line == "-") line = "./-";
    if (line.find_first_not_of(" \t") != std::string::npos) {
      paths.push_back(std::move(line));
    }
    start = end + 1;
  }
}

}  // namespace

int UsageError(const std::string& message) {
  WriteText(stderr, "kalvane-arrange: error: " + message + "\n");
  return kUsageError;
}

std::optional<int> ParseOptions(const std::vector<std::string>& args,
                                ArrangeOptions& options) {
  CLI::App app(
      "Puts the function bodies of Ostrel source files (*.ost) into the order "
      "of their declarations, as kalvane's Load and Save do. A folder is "
      "searched for *.ost files; - reads standard input and writes standard "
      "output.",
      "kalvane-arrange");
  // On Windows the parser would take /path for an option of that name; a
  // path that begins with a slash is a path there too.
  app.allow_windows_style_options(false);
  app.footer(
      "Exit status: 0 fine; 1 a file would change (--check, --diff) or was "
      "arranged (--exit-nonzero-on-change); 2 a wrong command line; 3 a file "
      "refused, unreadable or unwritable, whatever else happened.");
  app.set_version_flag("--version",
                       std::string("kalvane-arrange ") + KALVANE_VERSION_TEXT);
  bool check = false;
  bool diff = false;
  unsigned jobs = 0;
  app.add_flag("--check", check,
               "write nothing; name each file that would change (exit 1)");
  app.add_flag("--diff", diff,
               "write nothing; print a unified diff of each file that would "
               "change (exit 1)");
  app.add_flag("--sort", options.sort,
               "first put the functions in natural order of their names");
  app.add_flag("-q,--quiet", options.quiet, "leave out the summary line");
  app.add_flag("-v,--verbose", options.verbose,
               "say on standard error what happened to each file");
  app.add_flag("--exit-nonzero-on-change", options.exitNonzeroOnChange,
               "exit 1 when a file was arranged (for a hook that fixes "
               "files)");
  std::string color = "auto";
  app.add_option("--color", color,
                 "colour the diff: auto (on a terminal, unless NO_COLOR is "
                 "set), always or never")
      ->check(CLI::IsMember({"auto", "always", "never"}));
  app.add_option("-j,--jobs", jobs,
                 "files arranged at once (default, or 0: one per processor)");
  std::vector<std::string> exclude, extendExclude;
  std::string filesFrom;
  app.add_option("--exclude", exclude,
                 "pass over what matches PATTERN when searching a folder "
                 "(repeatable; replaces the default, hidden folders: .*/)")
      ->allow_extra_args(false)
      ->type_name("PATTERN");
  app.add_option("--extend-exclude", extendExclude,
                 "pass over what matches PATTERN as well (repeatable)")
      ->allow_extra_args(false)
      ->type_name("PATTERN");
  app.add_flag("--follow-links", options.followLinks,
               "follow symbolic links to folders outside the folder searched");
  app.add_option("--files-from", filesFrom,
                 "also arrange the paths listed in FILE, one a line (- for "
                 "stdin)")
      ->type_name("FILE");
  app.add_flag("--no-config", options.noConfig,
               "read no .kalvane-arrange.toml settings file");
  app.add_option("--stdin-filename", options.stdinName,
                 "the path standard input stands for, in messages, for its "
                 "settings and excludes")
      ->type_name("PATH");
  CLI::Option* paths =
      app.add_option("paths", options.paths, "files and folders; - for stdin");

  // CLI11 takes an argument vector last argument first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
    if (options.paths.empty() && filesFrom.empty()) {
      throw CLI::RequiredError(paths->get_name());
    }
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() != 0) {
      // One line, so that whatever reads the errors takes it whole.
      return UsageError(std::string(error.what()) +
                        " (kalvane-arrange --help lists the options)");
    }
    // Help and version go out as every other output does.
    std::ostringstream out, err;
    app.exit(error, out, err);
    WriteText(stdout, out.str());
    WriteText(stderr, err.str());
    return 0;
  }
  options.mode = diff    ? ArrangeMode::kDiff
                 : check ? ArrangeMode::kCheck
                         : ArrangeMode::kWrite;
  options.jobs =
      jobs != 0 ? jobs : std::max(1u, std::thread::hardware_concurrency());
  options.color = UseColor(color);
  // The shell expands no wildcards on Windows: the program does, before
  // listed paths join in, which are taken as they are written.
  ExpandWildcards(options.paths);
  if (!exclude.empty()) options.exclude = exclude;
  options.exclude.insert(options.exclude.end(), extendExclude.begin(),
                         extendExclude.end());
  if (!filesFrom.empty()) {
    const bool fromInput = filesFrom == "-";
    if (fromInput && std::find(options.paths.begin(), options.paths.end(),
                               "-") != options.paths.end()) {
      return UsageError(
          "standard input cannot give both the list of files (--files-from "
          "-) and a file (-)");
    }
    std::string list;
    if (!(fromInput ? ReadAllInput(list) : ReadWholeFile(filesFrom, list))) {
      return UsageError("cannot read the list of files " + filesFrom);
    }
    AddListedPaths(list, options.paths);
  }
  if (std::count(options.paths.begin(), options.paths.end(), "-") > 1) {
    return UsageError("standard input (-) can be read only once");
  }
  return std::nullopt;
}
