// Times kalvane-arrange --check on a tree of 10,000 generated files of about
// 100 lines against cat reading the same files to /dev/null, in the same
// run, so that the ratio does not depend on the machine. First, the time and
// peak memory of --diff on a file whose two functions of 100,000 lines each
// stand in the wrong order (bar: under 1 s and 50 MB).
// Prints one figure a line, "NAME: VALUE UNIT".
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "bench/bench_common.h"

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::MillisecondsSince;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;
constexpr int kLines = 100;
constexpr int kFunctions = 6;
constexpr int kRounds = 3;
constexpr int kExchangedLines = 100'000;

double SecondsOf(const std::string& command) {
  const auto start = Clock::now();
  if (std::system(command.c_str()) == -1) {
    std::fprintf(stderr, "cannot run: %s\n", command.c_str());
    std::exit(1);
  }
  return MillisecondsSince(start) / 1000;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : KALVANE_ARRANGE;

  // Measured before any other child runs: the peak memory of the children
  // waited for is then this run's.
  const fs::path exchanged =
      fs::temp_directory_path() /
      ("kalvane-arrange-bench-" + std::to_string(getpid()) + ".ost");
  {
    std::ofstream file(exchanged, std::ios::binary);
    file << "DECLARE FUNCTION Alpha ()\nDECLARE FUNCTION Beta ()\n";
    for (const char* name : {"Beta", "Alpha"}) {
      file << "FUNCTION " << name << " ()\n";
      for (int line = 0; line < kExchangedLines; ++line) {
        file << "  " << name << " = " << name << " + " << line << "\n";
      }
      file << "END FUNCTION\n";
    }
  }
  const double diffS = SecondsOf("'" + program + "' --diff -q '" +
                                 exchanged.string() + "' > /dev/null");
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  fs::remove(exchanged);
  bench::Print("diff_exchanged_functions_s", diffS, "s (bar: under 1)");
  bench::Print("diff_exchanged_functions_peak_mb",
               static_cast<double>(usage.ru_maxrss) / 1024,
               "MB (bar: under 50)");

  const fs::path tree = fs::temp_directory_path() /
                        ("kalvane-arrange-bench-" + std::to_string(getpid()));
  std::mt19937 random(17);
  for (int folder = 0; folder < kFolders; ++folder) {
    const fs::path dir = tree / ("module" + std::to_string(folder));
    fs::create_directories(dir);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      std::ofstream(dir / ("part" + std::to_string(file) + ".ost"),
                    std::ios::binary)
          << bench::MakeSource(kLines, kFunctions, random);
    }
  }

  // Both read every file once before timing, so that both find them in the
  // page cache; then they take turns.
  const std::string quotedTree = "'" + tree.string() + "'";
  const std::string cat = "find " + quotedTree +
                          " -name '*.ost' -print0 | xargs -0 cat > /dev/null";
  const std::string check = "'" + program + "' --check --jobs 2 --quiet " +
                            quotedTree + " > /dev/null";
  SecondsOf(cat);
  SecondsOf(check);
  std::vector<double> catSeconds, checkSeconds;
  for (int round = 0; round < kRounds; ++round) {
    catSeconds.push_back(SecondsOf(cat));
    checkSeconds.push_back(SecondsOf(check));
  }
  fs::remove_all(tree);

  const double catS = bench::Median(catSeconds);
  const double checkS = bench::Median(checkSeconds);
  bench::Print("files", kFolders * kFilesPerFolder, "");
  bench::Print("arrange_check_s", checkS, "s");
  bench::Print("cat_s", catS, "s");
  bench::Print("arrange_check_to_cat", checkS / catS, "(bar: under 3)");
  return 0;
}
