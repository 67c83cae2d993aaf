// The layout engine: a series tree and a rectangle in, one rectangle per
// control out. No window is touched here.
//
// How a series is laid out:
// - A series has a length (along its direction: downwards for top to bottom,
//   rightwards for side by side) and a breadth (across it). Every item's slot
//   spans the whole breadth.
// - Items follow one another in the order placed. Each first advances by its
//   gap (`space` pixels), then takes its extent along the series:
//   (pixels here are logical: multiplied by the window's scale first)
//     without kSizeFromSpaceLeft, size <= 1 is that fraction of the series'
//     whole length and size > 1 is pixels;
//     with kSizeFromSpaceLeft, `left` is what remains after the gap, and
//     size <= 1 takes that fraction of it (1 takes all) while size > 1 leaves
//     `size` pixels (extent = left - size).
// - Nothing ever passes the series' end: a gap stops at the end, and an
//   extent is clamped to between 0 and what is left. In a window too small
//   for its layout, the last items therefore shrink to nothing; no width or
//   height is ever negative.
// - Within its slot an item takes the fractions x, y, w, h of the slot
//   (0, 0, 1, 1 fill it), clipped to the slot.
// - Everything is computed in doubles in client coordinates, and only the
//   control's edges are rounded (half up), each on its own. Two neighbours
//   sharing an edge round it to the same pixel, so odd sizes never leave
//   one-pixel gaps or overlaps between them.
#include <algorithm>
#include <cmath>

#include "toolkit/series_tree.h"

namespace tovi {
namespace {

const Series* Find(const SeriesList& all, ToviSeries handle) {
  if (handle < 1 || static_cast<size_t>(handle) > all.size()) return nullptr;
  return &all[static_cast<size_t>(handle) - 1];
}

int32_t RoundEdge(double v) {
  return static_cast<int32_t>(std::floor(v + 0.5));
}

Rect RoundArea(const Area& a) {
  int32_t left = RoundEdge(a.x);
  int32_t top = RoundEdge(a.y);
  return Rect{left, top, RoundEdge(a.x + a.width) - left,
              RoundEdge(a.y + a.height) - top};
}

// The part [start + fraction * length, ... + extent * length] of a span,
// kept within the span.
void Within(double start, double length, double fraction, double extent,
            double& outStart, double& outLength) {
  double from = std::clamp(start + fraction * length, start, start + length);
  double to = std::clamp(from + extent * length, from, start + length);
  outStart = from;
  outLength = to - from;
}

double Extent(const SeriesItem& item, double length, double left,
              double scale) {
  double extent;
  if (item.flags & kSizeFromSpaceLeft) {
    extent = item.size <= 1 ? item.size * left : left - item.size * scale;
  } else {
    extent = item.size <= 1 ? item.size * length : item.size * scale;
  }
  return std::clamp(extent, 0.0, left);
}

void Lay(const SeriesList& all, ToviSeries root, Area area, size_t depth,
         double scale, std::vector<Placement>& out) {
  const Series* series = Find(all, root);
  if (series == nullptr || depth > all.size()) return;
  bool across = series->direction == kSeriesSideBySide;
  double length = across ? area.width : area.height;
  double start = across ? area.x : area.y;
  double position = 0;
  for (const SeriesItem& item : series->items) {
    position = std::min(position + item.space * scale, length);
    double extent = Extent(item, length, length - position, scale);
    Area slot = area;
    if (across) {
      slot.x = start + position;
      slot.width = extent;
    } else {
      slot.y = start + position;
      slot.height = extent;
    }
    position += extent;

    Area placed;
    Within(slot.x, slot.width, item.x, item.w, placed.x, placed.width);
    Within(slot.y, slot.height, item.y, item.h, placed.y, placed.height);
    if (item.isSeries) {
      Lay(all, item.series, placed, depth + 1, scale, out);
    } else {
      out.push_back(Placement{item.control, RoundArea(placed)});
    }
  }
}

}  // namespace

void LaySeries(const SeriesList& all, ToviSeries root, Area area,
               std::vector<Placement>& out, double scale) {
  Lay(all, root, area, 0, scale, out);
}

}  // namespace tovi
