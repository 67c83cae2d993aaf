// One pass over a document's lines: which functions it declares, where their
// bodies stand, and the first thing the model cannot represent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/source_document.h"

struct SourceStructure {
  // Names of the declared functions in declaration order; they point into
  // the document's bytes.
  std::vector<std::string_view> names;
  // Per declared function: its declaration line and its block as it stands
  // in the file; firstLine and lastLine are -1 for a function without body.
  std::vector<FunctionRecord> functions;
  int32_t firstHead = -1;  // the header ends here; -1 when there is no body
  int32_t lastEnd = -1;    // the tail follows this line
  // Empty when the blocks can be rebuilt and moved; else "Line N: ...".
  std::string problem;
};

SourceStructure ScanStructure(const SourceDocument& doc);

// How problem texts name a function: "the function Foo", or "the unnamed
// function" for a declaration that names the empty text.
std::string DescribeFunction(std::string_view name);
