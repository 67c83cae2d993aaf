#include "lsp/positions.h"

#include "toolkit/shown_text.h"

namespace {

// Calls visit(byteOffset, units) for each character of `line`, then once
// more at its end; stops as soon as `visit` returns false.
template <typename Visit>
void ForEachCharacter(std::string_view line, PositionEncoding encoding,
                      Visit&& visit) {
  size_t offset = 0;
  int64_t units = 0;
  while (offset < line.size()) {
    if (!visit(offset, units)) return;
    size_t length = tovi::Utf8Length(line.substr(offset));
    if (length == 0) length = 1;
    if (encoding == PositionEncoding::kUtf8) {
      units += static_cast<int64_t>(length);
    } else {
      // Characters beyond the basic plane take a surrogate pair.
      units += length == 4 ? 2 : 1;
    }
    offset += length;
  }
  visit(offset, units);
}

}  // namespace

int64_t UnitLength(std::string_view line, PositionEncoding encoding) {
  int64_t total = 0;
  ForEachCharacter(line, encoding, [&](size_t, int64_t units) {
    total = units;
    return true;
  });
  return total;
}

std::optional<size_t> ByteAtUnits(std::string_view line, int64_t units,
                                  PositionEncoding encoding) {
  std::optional<size_t> found;
  ForEachCharacter(line, encoding, [&](size_t offset, int64_t before) {
    if (before == units) found = offset;
    return before < units;
  });
  return found;
}

int64_t UnitsBefore(std::string_view line, size_t offset,
                    PositionEncoding encoding) {
  int64_t found = 0;
  ForEachCharacter(line, encoding, [&](size_t at, int64_t before) {
    found = before;
    return at < offset;
  });
  return found;
}
