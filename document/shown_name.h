// How a function's name from a file is put into a message the user reads.
//
// A name is data of any length and any bytes, while a message box wants a
// short text that every backend decodes alike. So the name is shown by the
// rule the lists follow (toolkit/shown_text.h: UTF-8 as it is, other bytes
// in Windows code page 1252, a NUL as the symbol for NUL), and a name of
// more than 200 characters is cut there and ends in "…".
#pragma once

#include <string>
#include <string_view>

std::string ShownName(std::string_view name);
