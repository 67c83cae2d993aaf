// Puts the function blocks of a freshly read document into declaration order.
#pragma once

#include "document/source_document.h"
#include "document/structure.h"

// Takes the records of `structure` (which must have no problem) into `doc`
// and rearranges doc.lines: the header, then every block in declaration
// order, then the tail. A function without body gets an empty block at its
// place in that order.
void RebuildInDeclarationOrder(SourceDocument& doc,
                               const SourceStructure& structure);
