// Cuts a file's bytes into lines without decoding anything. A line ends at
// LF, CRLF or a lone CR and keeps that terminator; a last line may have none.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

#include "document/source_document.h"

namespace line_splitter {

// Position of the first `c` in bytes[from, to), or `to` when there is none.
inline size_t Find(std::string_view bytes, char c, size_t from, size_t to) {
  const void* hit = std::memchr(bytes.data() + from, c, to - from);
  if (hit == nullptr) return to;
  return static_cast<size_t>(static_cast<const char*>(hit) - bytes.data());
}

}  // namespace line_splitter

// Calls visit(offset, length, terminatorLength) for each line of
// bytes[from, to), which must begin at a line's start and end at a line's
// end. Stops, returning false, as soon as `visit` returns false.
template <typename Visit>
bool ForEachLine(std::string_view bytes, size_t from, size_t to,
                 Visit&& visit) {
  using line_splitter::Find;
  // The next LF and the next CR are remembered across lines: a file of
  // lone CRs would otherwise be searched to its end once per line, and a
  // file without CRs would be searched for one on every line.
  size_t nextLf = Find(bytes, '\n', from, to);
  size_t nextCr = Find(bytes, '\r', from, to);
  size_t pos = from;
  while (pos < to) {
    if (nextLf < pos) nextLf = Find(bytes, '\n', pos, to);
    if (nextCr < pos) nextCr = Find(bytes, '\r', pos, to);
    size_t end = nextLf;
    size_t terminator = nextLf < to ? 1 : 0;
    if (nextCr < nextLf) {
      end = nextCr;
      // A CR ending the range is a lone CR, not half of a CRLF.
      terminator = nextCr + 1 == nextLf && nextLf < to ? 2 : 1;
    }
    if (!visit(pos, end - pos, terminator)) return false;
    pos = end + terminator;
  }
  return true;
}

// Appends the lines of bytes[from, to) to `lines`; their lengths must be
// known to fit.
void AppendLines(std::string_view bytes, size_t from, size_t to,
                 std::vector<SourceLine>& lines);
