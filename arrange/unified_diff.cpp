#include "arrange/unified_diff.h"

#include <dtl/dtl.hpp>

#include <vector>

namespace {

// Lines with their terminators (LF, CRLF or a lone CR), so that a line
// whose terminator alone changes shows as changed.
std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      end = bytes.size();
    } else if (bytes[end] == '\r' && end + 1 < bytes.size() &&
               bytes[end + 1] == '\n') {
      end += 2;
    } else {
      ++end;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end;
  }
  return lines;
}

void AppendLine(std::string& out, char mark, const std::string& line) {
  out += mark;
  out += line;
  const char last = line.empty() ? '\0' : line.back();
  if (last != '\n' && last != '\r') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string UnifiedDiff(const std::string& path, std::string_view before,
                        std::string_view after) {
  if (before == after) return std::string();
  using Lines = std::vector<std::string>;
  dtl::Diff<std::string, Lines> diff(SplitLines(before), SplitLines(after));
  diff.compose();
  diff.composeUnifiedHunks();

  std::string out = "--- " + path + "\n+++ " + path + "\n";
  for (const auto& hunk : diff.getUniHunks()) {
    out += "@@ -" + std::to_string(hunk.a) + "," + std::to_string(hunk.b) +
           " +" + std::to_string(hunk.c) + "," + std::to_string(hunk.d) +
           " @@\n";
    for (const auto& line : hunk.common[0]) AppendLine(out, ' ', line.first);
    for (const auto& line : hunk.change) {
      const dtl::edit_t type = line.second.type;
      AppendLine(out,
                 type == dtl::SES_ADD      ? '+'
                 : type == dtl::SES_DELETE ? '-'
                                           : ' ',
                 line.first);
    }
    for (const auto& line : hunk.common[1]) AppendLine(out, ' ', line.first);
  }
  return out;
}
