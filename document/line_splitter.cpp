#include "document/line_splitter.h"

void AppendLines(std::string_view bytes, size_t from, size_t to,
                 std::vector<SourceLine>& lines) {
  ForEachLine(bytes, from, to,
              [&](size_t offset, size_t length, size_t terminator) {
                lines.push_back({static_cast<int64_t>(offset),
                                 static_cast<int32_t>(length),
                                 static_cast<int32_t>(terminator)});
                return true;
              });
}
