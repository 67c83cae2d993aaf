// What the server tells the editor about a document: the problem that makes
// kalvane refuse it, or the first body out of declaration order. The code
// actions attach their quick fix to the same diagnostic.
#pragma once

#include <optional>

#include "lsp/open_document.h"
#include "lsp/protocol.h"

std::optional<Diagnostic> RefusalDiagnostic(const OpenDocument& open,
                                            PositionEncoding encoding);
std::optional<Diagnostic> OrderDiagnostic(const OpenDocument& open,
                                          PositionEncoding encoding);

// The whole of line `i` as a range.
Range LineRange(const OpenDocument& open, int32_t i, PositionEncoding encoding);
