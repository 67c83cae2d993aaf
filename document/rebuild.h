// Lays a scanned file's lines out, in declaration order when it can.
#pragma once

#include <string_view>

#include "document/source_document.h"
#include "document/structure.h"

// Fills doc.lines, doc.lineCount, doc.functions and doc.lastFunction from
// the scanned `bytes`. Without a problem: the header, then every block in
// declaration order (a function without body gets an empty block at its
// place in that order), then the tail, each line copied once. With a
// problem: every line where it stands, the records as scanned.
void LayOutLines(std::string_view bytes, const SourceStructure& structure,
                 SourceDocument& doc);
