// The layout tree as the engine sees it: what ToviAutoSizer_* recorded, held
// by autosizer.cpp and turned into rectangles by series_layout.cpp. Only
// those two files and their tests include this header.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/series_layout.h"
#include "toolkit/tovi.h"

namespace tovi {

// One placement made by ToviAutoSizer_SetInfo.
struct SeriesItem {
  HWND control = nullptr;  // the control, when isSeries is false
  ToviSeries series = 0;   // the nested series, when isSeries is true
  bool isSeries = false;
  double space = 0;
  double size = 0;
  double x = 0;
  double y = 0;
  double w = 1;
  double h = 1;
  int32_t flags = 0;
};

struct Series {
  int32_t direction = kSeriesTopToBottom;
  std::vector<SeriesItem> items;  // in the order placed
  HWND window = nullptr;  // the window whose main series this is, if any
  ToviSeries parent = 0;  // the series this one is placed in, 0 if none
};

// Every series there is; handle h names all[h - 1], so 0 is never a series.
using SeriesList = std::vector<Series>;

// A rectangle before rounding.
struct Area {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// Appends to `out` the rectangle of every control in series `root` and the
// series nested in it, with `root` filling `area`. Unknown handles are
// skipped; nesting deeper than the number of series (only a malformed tree
// can do that) stops there.
// Pixel gaps and sizes are multiplied by `scale`.
void LaySeries(const SeriesList& all, ToviSeries root, Area area,
               std::vector<Placement>& out, double scale = 1);

}  // namespace tovi
