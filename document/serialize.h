// The bytes a document is saved as.
#pragma once

#include "document/safe_write.h"
#include "document/source_document.h"

// What ends a line read without a terminator when it is written: the file's
// own habit, taken from its first line, else the platform's.
std::string_view FallbackTerminator(std::string_view bytes);

// Hands every line of `doc`, each with its terminator, to `write` in pieces
// of about a megabyte. False as soon as `write` fails.
bool WriteSerialized(const SourceDocument& doc, const ChunkWriter& write);
