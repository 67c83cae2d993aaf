#include "arrange/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>
#include <thread>

#include "arrange/console.h"
#include "kalvane_version.h"

namespace {

constexpr int kUsageError = 2;

}  // namespace

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
  app.add_option("-j,--jobs", jobs,
                 "files arranged at once (default, or 0: one per processor)");
  app.add_option("paths", options.paths, "files and folders; - for stdin")
      ->required();

  // CLI11 takes an argument vector last argument first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    // Help, version and mistakes go out as every other output does.
    std::ostringstream out, err;
    const int status = app.exit(error, out, err);
    WriteText(stdout, out.str());
    WriteText(stderr, err.str());
    return status == 0 ? 0 : kUsageError;
  }
  options.mode = diff    ? ArrangeMode::kDiff
                 : check ? ArrangeMode::kCheck
                         : ArrangeMode::kWrite;
  options.jobs =
      jobs != 0 ? jobs : std::max(1u, std::thread::hardware_concurrency());
  if (std::count(options.paths.begin(), options.paths.end(), "-") > 1) {
    WriteText(stderr,
              "kalvane-arrange: standard input (-) can be read only once\n");
    return kUsageError;
  }
  return std::nullopt;
}
