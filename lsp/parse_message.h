// Parsing a message's JSON, quickly also when it carries a whole document.
#pragma once

#include <cstddef>
#include <string_view>

#include "lsp/protocol.h"

// The JSON value of `body`, exactly as Json::parse(body, nullptr, false)
// gives it (discarded when it is no valid JSON). A string of `longString`
// bytes or more (a document's text, in practice) is decoded here, at the
// speed of a copy, and handed to the JSON library as a short stand-in that
// is swapped back after: the library reads a character at a time, which
// for a text of a million lines takes longer than everything else the
// server does with it.
Json ParseMessage(std::string_view body, size_t longString = 64 * 1024);

// The value of a hex digit, in either case; -1 for any other character.
int HexValue(char c);
