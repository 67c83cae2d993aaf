// The order people expect of names with numbers in them: Item2 before
// Item10, letter case ignored.
#pragma once

#include <string_view>

// Whether `a` comes before `b`: ASCII letters compare without case, other
// bytes by value, and a run of digits compares as the number it writes
// (leading zeros ignored, so Item007 and Item7 are equal). Equal names are
// neither less than the other, so a stable sort keeps their order.
bool NaturalNameLess(std::string_view a, std::string_view b);
