// Cuts a file's bytes into lines without decoding anything.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/source_document.h"

// Appends the lines of `bytes` to `lines`. A line ends at LF, CRLF or a lone
// CR and keeps that terminator; a last line may have none. False when the
// lines would number more than `maxLines` or one would be too long for its
// 32-bit length; `lines` is then incomplete and must be dropped.
bool SplitLines(std::string_view bytes, std::vector<SourceLine>& lines,
                int64_t maxLines);
