// A function list without a window. The document fills and reorders its
// function list through the toolkit's list operations; a console program
// hands it one of these instead of a list control. The operations behave as
// the windowed lists' do (lookups ignore ASCII letter case, -1 means none),
// and touch nothing but the list they are given, so lists owned by different
// threads never meet.
#pragma once

#include "toolkit/tovi.h"

class HeadlessList {
 public:
  HeadlessList();
  ~HeadlessList();
  HeadlessList(const HeadlessList&) = delete;
  HeadlessList& operator=(const HeadlessList&) = delete;

  // The handle the list operations take.
  HWND handle() const { return handle_; }

 private:
  HWND handle_;
};
