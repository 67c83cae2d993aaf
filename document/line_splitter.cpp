#include "document/line_splitter.h"

#include <cstring>
#include <limits>

namespace {

constexpr int64_t kMaxLength = std::numeric_limits<int32_t>::max();

// Position of the first `c` in bytes[from, to), or `to` when there is none.
size_t Find(std::string_view bytes, char c, size_t from, size_t to) {
  const void* hit = std::memchr(bytes.data() + from, c, to - from);
  if (hit == nullptr) return to;
  return static_cast<size_t>(static_cast<const char*>(hit) - bytes.data());
}

}  // namespace

bool SplitLines(std::string_view bytes, std::vector<SourceLine>& lines,
                int64_t maxLines) {
  const size_t size = bytes.size();
  // The next LF is remembered across lines: a file of lone CRs would
  // otherwise be searched to its end once per line.
  size_t nextLf = Find(bytes, '\n', 0, size);
  size_t pos = 0;
  while (pos < size) {
    if (nextLf < pos) nextLf = Find(bytes, '\n', pos, size);
    const size_t cr = Find(bytes, '\r', pos, nextLf);
    size_t end = nextLf;
    size_t terminator = nextLf < size ? 1 : 0;
    if (cr < nextLf) {
      end = cr;
      terminator = cr + 1 == nextLf ? 2 : 1;
    }
    if (static_cast<int64_t>(lines.size()) >= maxLines) return false;
    if (static_cast<int64_t>(end - pos) > kMaxLength) return false;
    lines.push_back({static_cast<int64_t>(pos), static_cast<int32_t>(end - pos),
                     static_cast<int32_t>(terminator)});
    pos = end + terminator;
  }
  return true;
}
