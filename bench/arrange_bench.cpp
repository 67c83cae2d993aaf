// Times kalvane-arrange --check on a tree of 10,000 generated files of about
// 100 lines against cat reading the same files to /dev/null, in the same
// run, so that the ratio does not depend on the machine. First, the time and
// peak memory of --diff on a file whose two functions of 100,000 lines each
// stand in the wrong order (bar: under 1 s and 50 MB); then the whole run of
// kalvane-arrange arranging one file of 1,000,000 lines in place against cp
// and sync of the same file, and its peak memory against the file's size.
// Prints one figure a line, "NAME: VALUE UNIT".
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
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
constexpr int kBigLines = 1'000'000;
constexpr int kBigFunctions = 1000;
constexpr int kBigPairs = 5;

double SecondsOf(const std::string& command) {
  const auto start = Clock::now();
  if (std::system(command.c_str()) == -1) {
    std::fprintf(stderr, "cannot run: %s\n", command.c_str());
    std::exit(1);
  }
  return MillisecondsSince(start) / 1000;
}

// Runs `argv` and waits for it; its wall time in seconds, and its peak
// resident memory in bytes into `peak`.
double RunChild(const std::vector<std::string>& argv, double& peak) {
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // Its summary would come between the figures; the exit status tells
    // whether it failed.
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) {
      dup2(quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
    }
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child ||
      !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", argv[0].c_str());
    std::exit(1);
  }
  const double seconds = MillisecondsSince(start) / 1000;
  peak = static_cast<double>(usage.ru_maxrss) * 1024;
  return seconds;
}

// About 56 bytes a line, the functions' bodies in shuffled order.
void WriteBigFile(const fs::path& path) {
  std::mt19937 random(23);
  std::ofstream file(path, std::ios::binary);
  file << "' generated for timing\n";
  for (int f = 0; f < kBigFunctions; ++f) {
    file << "DECLARE FUNCTION Sum" << f << " (n AS LONG)\n";
  }
  std::vector<int> order(kBigFunctions);
  for (int f = 0; f < kBigFunctions; ++f) order[static_cast<size_t>(f)] = f;
  std::shuffle(order.begin(), order.end(), random);
  const int bodyLines = (kBigLines - kBigFunctions - 2) / kBigFunctions - 2;
  char line[96];
  for (int f : order) {
    file << "FUNCTION Sum" << f << " (n AS LONG)\n";
    for (int i = 0; i < bodyLines; ++i) {
      std::snprintf(line, sizeof line,
                    "    total = total + n * %6d + Sum%-4d ' one step on\n", i,
                    f);
      file << line;
    }
    file << "END FUNCTION\n";
  }
  file << "' end of file\n";
}

// Pairs of runs taken in turns: kalvane-arrange on a fresh copy of the file,
// then cp of the same file to a new name and sync. Both start with nothing
// left to write back, so that each pays for its own writes only.
void MeasureBigFile(const std::string& program) {
  const fs::path folder = fs::temp_directory_path() /
                          ("kalvane-arrange-big-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path original = folder / "original.ost";
  const fs::path arranged = folder / "arranged.ost";
  const fs::path copied = folder / "copied.ost";
  WriteBigFile(original);
  const double size = static_cast<double>(fs::file_size(original));
  const std::string copy =
      "cp '" + original.string() + "' '" + copied.string() + "' && sync";
  std::vector<double> ratios, arrangeSeconds, copySeconds;
  double peak = 0;
  for (int pair = 0; pair < kBigPairs; ++pair) {
    fs::copy_file(original, arranged, fs::copy_options::overwrite_existing);
    fs::remove(copied);
    sync();
    double childPeak = 0;
    const double arrangeS = RunChild({program, arranged.string()}, childPeak);
    peak = std::max(peak, childPeak);
    sync();
    double unused = 0;
    const double copyS = RunChild({"sh", "-c", copy}, unused);
    arrangeSeconds.push_back(arrangeS);
    copySeconds.push_back(copyS);
    ratios.push_back(arrangeS / copyS);
  }
  fs::remove_all(folder);
  bench::Print("arrange_big_file_mb", size / (1 << 20), "MB");
  bench::Print("arrange_big_file_s", bench::Median(arrangeSeconds), "s");
  bench::Print("cp_sync_big_file_s", bench::Median(copySeconds), "s");
  bench::Print("arrange_big_file_to_cp_sync", bench::Median(ratios),
               "(bar: under 2)");
  bench::Print("arrange_big_file_peak_to_size", peak / size,
               "(bar: under 1.5)");
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

  MeasureBigFile(program);

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
