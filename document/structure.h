// One pass over a file's bytes: how many lines it has, which functions it
// declares, where their bodies stand, and the first thing the model cannot
// represent. The lines found on the way can be kept, in file order, to be
// put in their final order afterwards without splitting the bytes again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/source_document.h"

struct SourceStructure {
  int32_t lineCount = 0;
  // Names of the declared functions in declaration order; they point into
  // the scanned bytes.
  std::vector<std::string_view> names;
  // Per declared function: its declaration line and its block as it stands
  // in the file; firstLine and lastLine are -1 for a function without body.
  std::vector<FunctionRecord> functions;
  // Where the first head line starts (the header ends there) and where the
  // line after the last end line starts (the tail begins there); both are
  // the file's size when it has no body.
  size_t headerEnd = 0;
  size_t tailBegin = 0;
  // Empty when the blocks can be rebuilt and moved; else "Line N: ...".
  std::string problem;
};

// False when the file has more than `maxLines` lines or a line too long for
// a 32-bit length. `lines`, when given, receives every line in file order,
// so that the bytes need not be split a second time.
bool ScanStructure(std::string_view bytes, int64_t maxLines,
                   SourceStructure& out,
                   std::vector<SourceLine>* lines = nullptr);

// How problem texts name a function: "the function Foo", or "the unnamed
// function" for a declaration that names the empty text. The name is shown
// as shown_name.h says.
std::string DescribeFunction(std::string_view name);
