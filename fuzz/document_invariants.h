// What must hold of a document whatever bytes it was read from and whatever
// moves it has seen. Each check reads the file a second time, in the
// plainest way, sharing no code with the document, and stops the run on the
// first difference.
#pragma once

#include <string_view>
#include <vector>

#include "document/source_document.h"
#include "toolkit/tovi.h"

// After a load and any moves: the document holds the file's bytes; its lines
// are the file's lines, each exactly once; the k-th declaration line is
// record k's and names list entry k; saving writes the lines in their order,
// a line read without terminator ending with the first line's; a file with a
// problem keeps its lines where they stood; a sound one has the header, one
// block per function in list order, each holding that function's head and
// closed by its end line, then the tail.
void CheckDocument(const SourceDocument& doc, HWND list,
                   std::string_view bytes);

// Right after a load, besides CheckDocument: the header and the tail stand
// where they stood in the file, each block is a block of the file (from the
// line after an end line, or from the first head, through the next end
// line), and a file whose lines all stayed in place is saved as it was read,
// apart from a missing final terminator.
void CheckFreshLoad(const SourceDocument& doc, std::string_view bytes);

// Whether both lists name the same lines of the file, in the same order.
bool SameLines(const std::vector<SourceLine>& a,
               const std::vector<SourceLine>& b);
