#include "arrange/run.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

#include "arrange/arrange_file.h"
#include "arrange/console.h"
#include "arrange/options.h"
#include "arrange/source_files.h"

namespace {

// Files are arranged by a pool of threads in whatever order they finish;
// the reports are handed out strictly in the order of the files, so a run's
// output does not depend on the scheduling.
class ReportQueue {
 public:
  ReportQueue(const std::vector<SourceFile>& files,
              const ArrangeOptions& options)
      : files_(files),
        options_(options),
        reports_(files.size()),
        done_(files.size(), false) {}

  // Arranges files until none is left.
  void Work() {
    for (;;) {
      size_t index = 0;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (next_ == files_.size()) return;
        index = next_++;
      }
      FileReport report = ArrangeFile(files_[index], options_);
      const std::lock_guard<std::mutex> lock(mutex_);
      reports_[index] = std::move(report);
      done_[index] = true;
      finished_.notify_all();
    }
  }

  // The report of file `index` once it is ready.
  FileReport Take(size_t index) {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return done_[index]; });
    return std::move(reports_[index]);
  }

 private:
  const std::vector<SourceFile>& files_;
  const ArrangeOptions& options_;
  std::mutex mutex_;
  std::condition_variable finished_;
  size_t next_ = 0;
  std::vector<FileReport> reports_;
  std::vector<bool> done_;
};

// What is left of standard input, to standard output as it comes.
void PassRestOfInput() {
  char buffer[1 << 16];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    WriteText(stdout, std::string_view(buffer, got));
  }
}

std::string Count(size_t n, const char* what) {
  return std::to_string(n) + " " + what;
}

// What --verbose says of a file; a refused file has said it in its error.
std::string VerboseLine(const std::string& path, Verdict verdict,
                        bool writing) {
  switch (verdict) {
    case Verdict::kUnchanged:
      return path + ": unchanged\n";
    case Verdict::kArranged:
      return path + (writing ? ": arranged\n" : ": would be arranged\n");
    case Verdict::kNoDeclarations:
      return path + ": no declarations, nothing to arrange\n";
    case Verdict::kBinary:
      return path + ": binary file, skipped\n";
    case Verdict::kRefused:
      break;
  }
  return {};
}

}  // namespace

int RunArrange(const std::vector<std::string>& args) {
  ArrangeOptions options;
  if (const auto status = ParseOptions(args, options)) return *status;
  std::string settingsErrors, unknownRules;
  const std::vector<SourceFile> files =
      FindSourceFiles(options, settingsErrors, unknownRules);
  // The run goes on with the other files, and then fails, so that a check
  // of a tree it could not look at does not pass.
  if (!unknownRules.empty()) {
    const std::string warning = "cannot read git's ignore rules (" +
                                unknownRules +
                                "), so the files of folders searched in git "
                                "work trees are left alone";
    WriteText(stderr, "kalvane-arrange: warning: " + warning + "\n");
  }
  // A project's settings that cannot be read leave its intent unknown:
  // nothing is arranged until they are mended.
  if (!settingsErrors.empty()) {
    WriteText(stderr, settingsErrors);
    // A filter still gives back its input, as on every other failure.
    if (options.mode == ArrangeMode::kWrite &&
        std::count(options.paths.begin(), options.paths.end(), "-") > 0) {
      PassRestOfInput();
    }
    return kUsageError;
  }

  ReportQueue queue(files, options);
  std::vector<std::thread> workers;
  const size_t wanted = std::min<size_t>(options.jobs, files.size());
  try {
    while (workers.size() < wanted) workers.emplace_back([&] { queue.Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for still arrange every file; with none at
    // all, this thread does the work itself.
    if (workers.empty()) queue.Work();
  }

  const bool writing = options.mode == ArrangeMode::kWrite;
  size_t counts[5] = {0, 0, 0, 0, 0};
  for (size_t i = 0; i < files.size(); ++i) {
    const FileReport report = queue.Take(i);
    ++counts[static_cast<int>(report.verdict)];
    WriteText(stdout, report.output);
    if (report.passRestOfInput) PassRestOfInput();
    // Both streams often end in one log (CI, pre-commit, an editor's
    // filter): what a file prints must be out before its errors, the next
    // file's output, and the summary.
    std::fflush(stdout);
    WriteText(stderr, report.errors);
    if (options.verbose) {
      WriteText(stderr, VerboseLine(files[i].path, report.verdict, writing));
    }
  }
  for (std::thread& worker : workers) worker.join();

  const size_t unchanged = counts[static_cast<int>(Verdict::kUnchanged)] +
                           counts[static_cast<int>(Verdict::kNoDeclarations)] +
                           counts[static_cast<int>(Verdict::kBinary)];
  const size_t arranged = counts[static_cast<int>(Verdict::kArranged)];
  const size_t refused = counts[static_cast<int>(Verdict::kRefused)];
  // Given - alone, the run is a filter: its output is the file, and an
  // editor that takes both streams back must get nothing more.
  const bool filter = options.paths == std::vector<std::string>{"-"};
  if (!options.quiet && !filter) {
    const std::string summary =
        Count(arranged, arranged == 1 ? "file" : "files") +
        (writing ? " arranged, " : " would be arranged, ") +
        Count(unchanged, "unchanged, ") + Count(refused, "refused\n");
    WriteText(stderr, summary);
  }
  std::fflush(stdout);
  // Output that could not be written is a file not arranged either, and so
  // is a tree left alone.
  if (refused > 0 || std::ferror(stdout) || !unknownRules.empty()) {
    return kFileNotArranged;
  }
  return arranged > 0 && (!writing || options.exitNonzeroOnChange)
             ? kWouldChange
             : kAllFine;
}
