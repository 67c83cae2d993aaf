#include "arrange/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "arrange/console.h"
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
  app.add_option("paths", options.paths, "files and folders; - for stdin")
      ->required();

  // CLI11 takes an argument vector last argument first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
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
  if (std::count(options.paths.begin(), options.paths.end(), "-") > 1) {
    return UsageError("standard input (-) can be read only once");
  }
  return std::nullopt;
}
