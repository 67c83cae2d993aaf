// Lays a scanned file's lines out, in declaration order when it can.
#pragma once

#include "document/source_document.h"
#include "document/structure.h"

// Fills doc.lineCount, doc.functions and doc.lastFunction, and puts
// doc.lines, which must hold the scanned lines in file order (as
// ScanStructure gives them), in their final order. Without a problem: the
// header, then every block in declaration order (a function without body
// gets an empty block at its place in that order), then the tail. With a
// problem: every line where it stands, the records as scanned.
void LayOutLines(const SourceStructure& structure, SourceDocument& doc);
