#include "arrange/arrange_file.h"

#include <algorithm>
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
  // The form compilers use, which editors and CI problem matchers read.
  report.errors = path + ":" + std::to_string(line) +
                  ": error: " + std::string(message) + "\n";
  return report;
}

// As git tells binary files from text: a NUL among the first 8,000 bytes.
// Tokenized saves of the language's older editors are such files.
bool IsBinary(std::string_view bytes) {
  return bytes.substr(0, 8000).find('\0') != std::string_view::npos;
}

// A file left as it is, with nothing to report but its verdict; a filter
// passes its bytes through.
FileReport LeftAlone(Verdict verdict, const SourceFile& file,
                     const ArrangeOptions& options, std::string_view bytes) {
  FileReport report;
  report.verdict = verdict;
  if (file.standardInput && options.mode == ArrangeMode::kWrite) {
    report.output = bytes;
  }
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

// Reads standard input into `bytes` until its end. False on a read error,
// `bytes` then holding what came before it. Room is made before each read,
// so that memory running out loses nothing: `bytes` then holds all that was
// read.
bool ReadStandardInput(std::string& bytes) {
  constexpr size_t kChunk = 1 << 16;
  char buffer[kChunk];
  for (;;) {
    if (bytes.capacity() - bytes.size() < kChunk) {
      bytes.reserve(std::max(2 * bytes.capacity(), bytes.size() + kChunk));
    }
    const size_t got = std::fread(buffer, 1, kChunk, stdin);
    if (got == 0) return !std::ferror(stdin);
    bytes.append(buffer, got);
  }
}

// `input` holds standard input's bytes when the file is standard input.
// `saved` tells that a save was tried: it checks itself that nobody changed
// the file, and what it reports (where bytes were kept) must reach the user.
FileReport ArrangeRead(const SourceFile& file, const ArrangeOptions& options,
                       const std::string& input, SourceDocument& doc,
                       bool& saved) {
  if (!file.error.empty()) return Refused(file.path, 1, file.error);
  if (file.passThrough) {
    FileReport report;
    if (options.mode == ArrangeMode::kWrite) report.output = input;
    return report;
  }
  HeadlessList list;
  // What the file was when read, so that a save by another program while
  // this one arranged it is never overwritten. A large file is mapped
  // rather than copied; what is made from it is trusted only once its bytes
  // are found unchanged, after the save's own check or before a report.
  FileStamp read;
  const bool loaded =
      file.standardInput
          ? LoadSourceBytes(doc, list.handle(), input) == kTrue
          : LoadSource(doc, list.handle(), file.path, &read, true) == kTrue;
  if (!loaded) {
    // Bytes already read fail to load only for want of memory.
    return Refused(file.path, 1,
                   file.standardInput ? "not enough memory to arrange the file"
                                      : "cannot read the file");
  }

  if (IsBinary(doc.bytes)) {
    return LeftAlone(Verdict::kBinary, file, options, doc.bytes);
  }
  // Without a declaration there is no order to put bodies in: a file of
  // bodies alone (as dialects that need no DECLARE write) is as it should
  // be, though kalvane's Load warns of it.
  if (doc.functions.empty()) {
    return LeftAlone(Verdict::kNoDeclarations, file, options, doc.bytes);
  }
  if (!doc.problem.empty()) return Problem(file.path, doc.problem);
  // Already in natural order is no failure: the file is then only arranged.
  // A sort that would change the order and did not (memory ran out) must
  // not pass for one that had nothing to do.
  if (file.sort && SortWouldChangeOrder(doc, list.handle()) &&
      SortFunctionsByName(doc, list.handle()) != kTrue) {
    return Refused(file.path, 1, "cannot sort the functions");
  }
  // The arranged bytes are made only where they are shown: a file is
  // written from the lines where they lie in the bytes read.
  FileReport report;
  report.verdict =
      SerializesAsRead(doc) ? Verdict::kUnchanged : Verdict::kArranged;
  switch (options.mode) {
    case ArrangeMode::kWrite:
      if (file.standardInput) {
        report.output = SerializeSource(doc);
      } else if (report.verdict == Verdict::kArranged) {
        const SaveOutcome outcome =
            SaveSourceChecked(doc, file.path, &read, false);
        saved = true;
        switch (outcome.result) {
          case SaveResult::kSaved:
            break;
          case SaveResult::kChangedOnDisk:
            return Refused(file.path, 1,
                           "the file changed while being arranged");
          case SaveResult::kFailed:
            return Refused(file.path, 1, "cannot write the file");
          case SaveResult::kKeptAside:
            // The system took the old file away and then failed to put the
            // new one in its place: the user must learn where the only copy
            // of the file now is.
            return Refused(file.path, 1,
                           "the file could not be replaced; its arranged "
                           "bytes are in " +
                               outcome.kept);
          case SaveResult::kBackupKept:
            // The file was rewritten in place and could get neither all of
            // its new bytes nor its old ones back: the old ones are only in
            // the backup beside it.
            return Refused(file.path, 1,
                           "the file could not be rewritten; its old bytes "
                           "are in " +
                               outcome.kept);
        }
      }
      break;
    case ArrangeMode::kCheck:
      if (report.verdict == Verdict::kArranged)
        report.output = file.path + "\n";
      break;
    case ArrangeMode::kDiff:
      report.output = UnifiedDiff(file.path, doc.bytes, SerializeSource(doc));
      if (options.color) report.output = ColorDiff(report.output);
      break;
  }
  return report;
}

// Whatever was made from a file that changed while it was being arranged
// (it may be made from its old and new bytes at once) is not reported.
FileReport Arrange(const SourceFile& file, const ArrangeOptions& options,
                   const std::string& input) {
  SourceDocument doc;
  bool saved = false;
  FileReport report = ArrangeRead(file, options, input, doc, saved);
  if (!saved && !doc.bytes.StillAsRead()) {
    return Refused(file.path, 1, "the file changed while being arranged");
  }
  return report;
}

}  // namespace

FileReport ArrangeFile(const SourceFile& file, const ArrangeOptions& options) {
  std::string input;
  FileReport report;
  try {
    if (file.standardInput && !ReadStandardInput(input)) {
      report = Refused(file.path, 1, "cannot read standard input");
    } else {
      report = Arrange(file, options, input);
    }
  } catch (const std::exception&) {
    // Memory ran out for this file; the others may still fit. Should it
    // have run out while standard input was read, the rest is still to
    // come and is passed on after what was read.
    report = Refused(file.path, 1, "not enough memory to arrange the file");
    report.passRestOfInput = file.standardInput && !std::feof(stdin);
  }
  // A filter passes what it cannot arrange through as it came, so that a
  // pipeline never loses the file, whatever failed after its bytes came in.
  if (file.standardInput && options.mode == ArrangeMode::kWrite &&
      report.verdict == Verdict::kRefused) {
    report.output = std::move(input);
  } else {
    report.passRestOfInput = false;
  }
  return report;
}
