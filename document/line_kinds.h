// The three kinds of line the document recognises, and the function names
// they carry. Everything else in a file is ordinary text.
#pragma once

#include <string_view>

enum class LineKind { kOrdinary, kDeclaration, kHead, kEnd };

struct ClassifiedLine {
  LineKind kind = LineKind::kOrdinary;
  std::string_view name;  // empty for ordinary and end lines
};

// Keywords count only as the first field, compared exactly, so indented code
// and words that merely start with a keyword stay ordinary.
ClassifiedLine ClassifyLine(std::string_view line);
