#include "document/ostrel_tokens.h"

#include "document/line_kinds.h"

namespace {

// The keyword fields of a line the document recognises: "DECLARE FUNCTION",
// "FUNCTION", "END FUNCTION", which start the line.
size_t KeywordLength(std::string_view line) {
  switch (ClassifyLine(line).kind) {
    case LineKind::kDeclaration:
      return std::string_view("DECLARE FUNCTION").size();
    case LineKind::kHead:
      return std::string_view("FUNCTION").size();
    case LineKind::kEnd:
      return std::string_view("END FUNCTION").size();
    case LineKind::kOrdinary:
      break;
  }
  return 0;
}

// Whether the line's first word, after its indentation, is REM.
bool StartsWithRem(std::string_view line, size_t& at) {
  at = line.find_first_not_of(" \t");
  if (at == std::string_view::npos) return false;
  const std::string_view rest = line.substr(at);
  return (rest.starts_with("REM") || rest.starts_with("rem") ||
          rest.starts_with("Rem")) &&
         (rest.size() == 3 || rest[3] == ' ' || rest[3] == '\t');
}

}  // namespace

std::vector<Token> TokenizeLine(std::string_view line) {
  std::vector<Token> tokens;
  size_t pos = KeywordLength(line);
  if (pos > 0) tokens.push_back({TokenKind::kKeyword, 0, pos});
  size_t remAt = 0;
  if (pos == 0 && StartsWithRem(line, remAt)) {
    tokens.push_back({TokenKind::kComment, remAt, line.size() - remAt});
    return tokens;
  }
  while (pos < line.size()) {
    const size_t mark = line.find_first_of("'\"", pos);
    if (mark == std::string_view::npos) break;
    if (line[mark] == '\'') {
      tokens.push_back({TokenKind::kComment, mark, line.size() - mark});
      break;
    }
    const size_t close = line.find('"', mark + 1);
    const size_t end =
        close == std::string_view::npos ? line.size() : close + 1;
    tokens.push_back({TokenKind::kString, mark, end - mark});
    pos = end;
  }
  return tokens;
}
