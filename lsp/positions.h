// Character offsets on a line, counted as the negotiated encoding counts
// them. The server keeps lines as bytes; a client counts UTF-16 code units
// unless it offered UTF-8. A byte that is not part of a UTF-8 character
// counts as one unit either way, so every line has one reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "lsp/protocol.h"

// The length of `line` (a line's text without its terminator) in units.
int64_t UnitLength(std::string_view line, PositionEncoding encoding);

// The byte at `units` units into `line`: nullopt when that lies past the
// line's end or inside a character.
std::optional<size_t> ByteAtUnits(std::string_view line, int64_t units,
                                  PositionEncoding encoding);

// The units before byte `offset` of `line`, which starts a character.
int64_t UnitsBefore(std::string_view line, size_t offset,
                    PositionEncoding encoding);
