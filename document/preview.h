// The preview of a function: its declaration line and its block as they
// would be saved now, each line with its line number, ready for a text
// window (toolkit/tovi.h) to show and colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/source_document.h"

struct PreviewText {
  std::string text;  // UTF-8, lines separated by LF
  std::vector<ToviTextSpan> spans;
};

// The preview of the function at list position `function` of `doc`; with
// -1 (or any position the document has no function for), a line saying that
// no function is selected. Lines read as list entries do (shown_name.h,
// without the cut), with tabs expanded and no terminators. Very long
// functions and lines are cut, saying how much was left out, so a preview
// stays quick to make and to draw whatever the file holds.
PreviewText BuildPreview(const SourceDocument& doc, int32_t function);
