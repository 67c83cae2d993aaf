// listdrag as a program: a list of 100 entries reordered by dragging.
#pragma once

#include <cstdint>
#include <string>

// Runs the whole program until its window closes. Returns the exit code.
int RunListdrag();

// What listdrag prints, without a window, when its argument asks about the
// program itself (--help, --version); null otherwise.
const char* ListdragAbout(const std::string& argument);

// Builds and shows the window; returns 0.
int32_t BuildWindow();

// The drag handler registered with the toolkit.
int32_t OnDrag(int32_t list, int32_t status, int32_t item, int32_t x,
               int32_t y);

// " 42" for 42, "-7" for -7: a space or a minus sign, then the digits.
std::string NumberText(int32_t n);

inline constexpr int32_t kDragList = 100;
