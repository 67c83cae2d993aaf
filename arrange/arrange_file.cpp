#include "arrange/arrange_file.h"

#include <cstdio>
#include <exception>
#include <string_view>

#include "arrange/unified_diff.h"
#include "document/source_document.h"
#include "toolkit/headless/headless_list.h"

namespace {

FileReport Refused(const std::string& path, int64_t line,
                   std::string_view message) {
  FileReport report;
  report.verdict = Verdict::kRefused;
  report.errors =
      path + ":" + std::to_string(line) + ": " + std::string(message) + "\n";
  return report;
}

// The document words its problem "Line N: what is wrong"; the report puts
// the number where editors and CI look for it.
FileReport Problem(const std::string& path, const std::string& problem) {
  constexpr std::string_view kPrefix = "Line ";
  if (problem.rfind(kPrefix, 0) == 0) {
    const size_t colon = problem.find(": ", kPrefix.size());
    const std::string number =
        problem.substr(kPrefix.size(), colon - kPrefix.size());
    if (colon != std::string::npos && !number.empty() &&
        number.find_first_not_of("0123456789") == std::string::npos) {
      return Refused(path, std::stoll(number), problem.substr(colon + 2));
    }
  }
  return Refused(path, 1, problem);
}

std::string ReadStandardInput() {
  std::string bytes;
  char buffer[1 << 16];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

FileReport Arrange(const SourceFile& file, const ArrangeOptions& options) {
  if (!file.error.empty()) {
    FileReport report;
    report.verdict = Verdict::kRefused;
    report.errors = file.error + "\n";
    return report;
  }
  SourceDocument doc;
  HeadlessList list;
  const bool loaded =
      file.standardInput
          ? LoadSourceBytes(doc, list.handle(), ReadStandardInput()) == kTrue
          : LoadSource(doc, list.handle(), file.path) == kTrue;
  if (!loaded) return Refused(file.path, 1, "cannot read the file");

  FileReport report;
  if (!doc.problem.empty()) {
    report = Problem(file.path, doc.problem);
    // A filter passes what it cannot arrange through as it came, so that a
    // pipeline never loses the file.
    if (file.standardInput && options.mode == ArrangeMode::kWrite) {
      report.output = doc.bytes;
    }
    return report;
  }
  // Already in natural order is no failure: the file is then only arranged.
  if (options.sort) SortFunctionsByName(doc, list.handle());
  const std::string arranged = SerializeSource(doc);
  report.verdict =
      arranged == doc.bytes ? Verdict::kUnchanged : Verdict::kArranged;
  switch (options.mode) {
    case ArrangeMode::kWrite:
      if (file.standardInput) {
        report.output = arranged;
      } else if (report.verdict == Verdict::kArranged) {
        const SaveOutcome saved = SaveSourceChecked(doc, file.path, nullptr);
        if (saved.result != SaveResult::kSaved) {
          if (saved.kept.empty()) {
            return Refused(file.path, 1, "cannot write the file");
          }
          // The file lacks its old or its new bytes, and the only whole
          // copy is beside it: the user must learn where.
          if (saved.result == SaveResult::kBackupKept) {
            return Refused(file.path, 1,
                           "the file could not be rewritten; its old bytes "
                           "are in " +
                               saved.kept);
          }
          return Refused(file.path, 1,
                         "the file could not be replaced; its arranged "
                         "bytes are in " +
                             saved.kept);
        }
      }
      break;
    case ArrangeMode::kCheck:
      if (report.verdict == Verdict::kArranged)
        report.output = file.path + "\n";
      break;
    case ArrangeMode::kDiff:
      report.output = UnifiedDiff(file.path, doc.bytes, arranged);
      break;
  }
  return report;
}

}  // namespace

FileReport ArrangeFile(const SourceFile& file, const ArrangeOptions& options) {
  try {
    return Arrange(file, options);
  } catch (const std::exception&) {
    // Memory ran out for this file; the others may still fit.
    return Refused(file.path, 1, "not enough memory to arrange the file");
  }
}
