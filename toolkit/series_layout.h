// The automatic layout shared by every backend.
//
// ToviAutoSizer_* record, per window, a tree of series and the controls
// placed in them; LayoutWindow turns that tree and a client size into one
// rectangle per control. It is plain arithmetic: no backend code runs here,
// and a backend only moves its controls to the rectangles it is given.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/tovi.h"

namespace tovi {

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Placement {
  HWND control;
  Rect bounds;
};

// A backend calls this from ToviNewWindow: the window gets its main series,
// and kMainSeries names that series until the next window is registered.
void RegisterLayoutWindow(HWND window);

// The rectangles, in client coordinates, of every control placed in the
// window's series (nested series included), for a client area of the given
// size. Controls that were never placed are not listed.
//
// The gaps and sizes the program gave in pixels are logical pixels, those
// of a screen at 96 dots per inch; `scale` is how many device pixels one
// of them takes on the window's screen (1.5 at 144 DPI). Fractions of a
// series do not scale: they are fractions of a client size that already
// does.
std::vector<Placement> LayoutWindow(HWND window, int32_t clientWidth,
                                    int32_t clientHeight, double scale = 1);

// Forgets every window and series (for tests that start afresh).
void ResetLayout();

}  // namespace tovi
