// The parts of an Ostrel line a reader picks out at a glance: the keywords
// of the three kinds of line the document recognises, comments and strings.
// Written once here, so every view colours the same words.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

enum class TokenKind { kKeyword, kComment, kString };

// Bytes [start, start + length) of the line.
struct Token {
  TokenKind kind = TokenKind::kKeyword;
  size_t start = 0;
  size_t length = 0;
};

// The tokens of one line (without its terminator), in order and apart.
// A comment runs from a `'` outside a string, or from a `REM` that is the
// line's first word, to the end of the line; a string from a `"` to the
// next one, or to the end of the line when it is not closed. Keywords are
// those of declaration, head and end lines, recognised as the document
// recognises those lines.
std::vector<Token> TokenizeLine(std::string_view line);
