// The smallest set of line-range replacements that turns the editor's lines
// into the document's lines after an operation.
//
// The document moves lines without copying them: every line after a move,
// a sort or the load's arrangement still points at the bytes it was read
// from. So the lines that keep their relative order are found by where they
// point, not by comparing texts: they come as a few long runs of
// neighbouring lines, and the runs kept are the heaviest chain in the old
// order. Everything between two kept runs is one replacement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/source_document.h"

// Old lines [first, end) are replaced by `text`.
struct LineEdit {
  int32_t first = 0;
  int32_t end = 0;
  std::string text;
};

// `before` lists lines of `bytes` in the order they stand there; `after`
// the same lines in a new order. A line read without a terminator is
// written with `fallback` (kalvane's rule for saving), so it never counts
// as unchanged.
std::vector<LineEdit> LineEdits(std::string_view bytes,
                                const std::vector<SourceLine>& before,
                                const std::vector<SourceLine>& after,
                                std::string_view fallback);
