// The bytes a document is saved as.
#pragma once

#include "document/safe_write.h"
#include "document/source_document.h"

// Hands every line of `doc`, each with its terminator, to `write` in pieces
// of about a megabyte. False as soon as `write` fails.
bool WriteSerialized(const SourceDocument& doc, const ChunkWriter& write);
