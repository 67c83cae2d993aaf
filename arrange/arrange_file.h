// Arranging one file: what it becomes, and what the run says about it.
#pragma once

#include <string>

#include "arrange/options.h"
#include "arrange/source_files.h"

enum class Verdict {
  kUnchanged,
  kArranged,
  kRefused,
  // Left as it is, and counted unchanged: a file that declares no function
  // has nothing to arrange, whatever bodies it holds; a binary file is no
  // source file.
  kNoDeclarations,
  kBinary,
};

struct FileReport {
  Verdict verdict = Verdict::kUnchanged;
  std::string output;  // for standard output: a name, a diff, or stdin's bytes
  std::string errors;  // for standard error: "PATH:LINE: error: ..." lines
  // Standard input could not be held whole: after `output`, what remains of
  // it is to be copied to standard output as it comes.
  bool passRestOfInput = false;
};

// Loads the file as kalvane's Load does and compares what Save would write
// with its bytes. In ArrangeMode::kWrite a file that would change is saved
// (atomically, keeping its permissions); a file that would not is left
// alone. A file that cannot be read or written, or whose functions cannot
// be moved, is left as it is and reported; given standard input in
// ArrangeMode::kWrite, such a file's bytes are the output, unchanged, as are
// those of a file with nothing to arrange. Never throws.
FileReport ArrangeFile(const SourceFile& file, const ArrangeOptions& options);
