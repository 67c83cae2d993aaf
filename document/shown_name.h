// How a function's name from a file is put into a message the user reads.
//
// A name is data of any length and any bytes, while a message box wants a
// short text that every backend decodes alike. So the name is shown as
// UTF-8: as it is when it is UTF-8 already, and otherwise read in Windows
// code page 1252, as the lists read such bytes (the GTK build always,
// Windows in its usual Western code page). A NUL byte, which would end the text
// of a message box, is shown as the symbol for NUL, as the Windows list shows
// it; a name of more than 200 characters is cut there and ends in "…".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

std::string ShownName(std::string_view name);

// The pieces ShownName is made of, for other texts shown by the same rule.
// Utf8Length: the length of the UTF-8 character `text` starts with, 0 when
// it is not one. IsUtf8: whether the whole text is UTF-8. AppendShownByte:
// appends one byte of a text that is not UTF-8 (or a NUL) as UTF-8.
size_t Utf8Length(std::string_view text);
bool IsUtf8(std::string_view text);
void AppendShownByte(std::string& out, uint8_t byte);
