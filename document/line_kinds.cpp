#include "document/line_kinds.h"

#include "document/source_document.h"

std::string_view FieldOf(std::string_view line, int32_t n) {
  if (n < 1) return {};
  size_t start = 0;
  for (int32_t field = 1; field < n; ++field) {
    const size_t space = line.find(' ', start);
    if (space == std::string_view::npos) return {};
    start = space + 1;
  }
  const size_t end = line.find(' ', start);
  return line.substr(start, end == std::string_view::npos ? end : end - start);
}

namespace {

// A type word may stand between the keyword and the name: the name is the
// field before the one that opens the parameter list, when there is one.
std::string_view NameFrom(std::string_view line, int32_t first) {
  const std::string_view next = FieldOf(line, first + 1);
  if (!next.empty() && next.front() == '(') return FieldOf(line, first);
  return next;
}

}  // namespace

ClassifiedLine ClassifyLine(std::string_view line) {
  // Most lines start with none of the keywords' letters; decide those first.
  if (line.empty()) return {};
  const char c = line.front();
  if (c != 'D' && c != 'F' && c != 'E') return {};

  const std::string_view first = FieldOf(line, 1);
  if (first == "FUNCTION") return {LineKind::kHead, NameFrom(line, 2)};
  if (first != "DECLARE" && first != "END") return {};
  if (FieldOf(line, 2) != "FUNCTION") return {};
  if (first == "END") return {LineKind::kEnd, {}};
  return {LineKind::kDeclaration, NameFrom(line, 3)};
}
