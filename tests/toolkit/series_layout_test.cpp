// The series layout as plain arithmetic: no backend is linked here, and the
// window and control handles are made-up values the layout never looks into.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "toolkit/series_layout.h"
#include "toolkit/series_tree.h"
#include "toolkit/tovi.h"

namespace {

using tovi::LayoutWindow;
using tovi::Placement;
using tovi::Rect;

HWND Handle(uintptr_t n) {
  return reinterpret_cast<HWND>(n);
}

const HWND kWindow = Handle(0x100);
const HWND kList = Handle(0x104);
const HWND kLoad = Handle(0x103);
const HWND kSave = Handle(0x102);
const HWND kUp = Handle(0x110);
const HWND kDown = Handle(0x111);

ToviBool Place(ToviItem item, ToviSeries series, double space, double size,
               int32_t flags) {
  return ToviAutoSizer_SetInfo(item, series, space, size, 0, 0, 1, 1, flags);
}

// The rectangle of `control`, failing the test when it is missing or listed
// twice.
Rect BoundsOf(const std::vector<Placement>& placements, HWND control) {
  Rect found;
  int times = 0;
  for (const Placement& p : placements) {
    if (p.control == control) {
      found = p.bounds;
      ++times;
    }
  }
  EXPECT_EQ(times, 1);
  return found;
}

class SeriesLayout : public ::testing::Test {
 protected:
  void SetUp() override { tovi::ResetLayout(); }
  void TearDown() override { tovi::ResetLayout(); }

  // kalvane's window: the list, then a row of four buttons below it.
  void BuildKalvane() {
    tovi::RegisterLayoutWindow(kWindow);
    ToviSeries row = ToviNewAutoSizerSeries(kSeriesSideBySide);
    ASSERT_EQ(Place(kList, kMainSeries, 0, 27, kSizeFromSpaceLeft), kTrue);
    ASSERT_EQ(Place(row, kMainSeries, 2, 25, kItemIsSeries), kTrue);
    for (HWND button : {kLoad, kSave, kUp, kDown}) {
      ASSERT_EQ(Place(button, row, 0, 0.25, 0), kTrue);
    }
  }
};

TEST_F(SeriesLayout, KalvaneWindowAt400By300) {
  BuildKalvane();
  std::vector<Placement> placements = LayoutWindow(kWindow, 400, 300);
  ASSERT_EQ(placements.size(), 5u);
  EXPECT_EQ(placements[0].control, kList);  // in the order placed
  EXPECT_EQ(BoundsOf(placements, kList), (Rect{0, 0, 400, 273}));
  EXPECT_EQ(BoundsOf(placements, kLoad), (Rect{0, 275, 100, 25}));
  EXPECT_EQ(BoundsOf(placements, kSave), (Rect{100, 275, 100, 25}));
  EXPECT_EQ(BoundsOf(placements, kUp), (Rect{200, 275, 100, 25}));
  EXPECT_EQ(BoundsOf(placements, kDown), (Rect{300, 275, 100, 25}));
}

TEST_F(SeriesLayout, KalvaneWindowFollowsItsSize) {
  BuildKalvane();
  std::vector<Placement> placements = LayoutWindow(kWindow, 800, 600);
  EXPECT_EQ(BoundsOf(placements, kList), (Rect{0, 0, 800, 573}));
  EXPECT_EQ(BoundsOf(placements, kLoad), (Rect{0, 575, 200, 25}));
  EXPECT_EQ(BoundsOf(placements, kDown), (Rect{600, 575, 200, 25}));
}

// On a screen of 144 or 192 DPI the window is 1.5 or 2 times as large, and
// so are the gap and the button row: the same proportions as at 96 DPI.
TEST_F(SeriesLayout, KalvaneWindowScalesItsPixelsWithTheScreen) {
  BuildKalvane();
  std::vector<Placement> at144 = LayoutWindow(kWindow, 600, 450, 1.5);
  EXPECT_EQ(BoundsOf(at144, kList), (Rect{0, 0, 600, 410}));
  EXPECT_EQ(BoundsOf(at144, kLoad), (Rect{0, 413, 150, 37}));
  EXPECT_EQ(BoundsOf(at144, kDown), (Rect{450, 413, 150, 37}));
  std::vector<Placement> at192 = LayoutWindow(kWindow, 800, 600, 2);
  EXPECT_EQ(BoundsOf(at192, kList), (Rect{0, 0, 800, 546}));
  EXPECT_EQ(BoundsOf(at192, kUp), (Rect{400, 550, 200, 50}));
}

TEST_F(SeriesLayout, ListdragListFillsTheWindow) {
  tovi::RegisterLayoutWindow(kWindow);
  ASSERT_EQ(Place(kList, kMainSeries, 0, 1, kSizeFromSpaceLeft), kTrue);
  EXPECT_EQ(BoundsOf(LayoutWindow(kWindow, 400, 300), kList),
            (Rect{0, 0, 400, 300}));
  EXPECT_EQ(BoundsOf(LayoutWindow(kWindow, 37, 1), kList), (Rect{0, 0, 37, 1}));
}

TEST_F(SeriesLayout, OddWidthsTileTheRowWithoutGapsOrOverlaps) {
  BuildKalvane();
  std::vector<Placement> at401 = LayoutWindow(kWindow, 401, 300);
  EXPECT_EQ(BoundsOf(at401, kLoad), (Rect{0, 275, 100, 25}));
  EXPECT_EQ(BoundsOf(at401, kSave), (Rect{100, 275, 101, 25}));
  EXPECT_EQ(BoundsOf(at401, kUp), (Rect{201, 275, 100, 25}));
  EXPECT_EQ(BoundsOf(at401, kDown), (Rect{301, 275, 100, 25}));

  for (int32_t width = 0; width <= 1000; ++width) {
    std::vector<Placement> placements = LayoutWindow(kWindow, width, 300);
    int32_t edge = 0;
    for (HWND button : {kLoad, kSave, kUp, kDown}) {
      Rect r = BoundsOf(placements, button);
      ASSERT_EQ(r.x, edge) << width;
      ASSERT_GE(r.width, width / 4) << width;
      ASSERT_LE(r.width, width / 4 + 1) << width;
      edge = r.x + r.width;
    }
    ASSERT_EQ(edge, width);
  }
}

TEST_F(SeriesLayout, TinyWindowsNeverGiveNegativeSizes) {
  BuildKalvane();
  for (int32_t width : {0, 1, 3, 7}) {
    for (int32_t height : {0, 1, 2, 26, 27, 28, 30}) {
      for (const Placement& p : LayoutWindow(kWindow, width, height)) {
        EXPECT_GE(p.bounds.x, 0);
        EXPECT_GE(p.bounds.y, 0);
        EXPECT_GE(p.bounds.width, 0);
        EXPECT_GE(p.bounds.height, 0);
        EXPECT_LE(p.bounds.x + p.bounds.width, width);
        EXPECT_LE(p.bounds.y + p.bounds.height, height);
      }
    }
  }
  // 20 high: the list leaves 27 it does not have, so it gets nothing; the
  // gap of 2 still comes first and the row gets the 18 that remain.
  std::vector<Placement> small = LayoutWindow(kWindow, 40, 20);
  EXPECT_EQ(BoundsOf(small, kList), (Rect{0, 0, 40, 0}));
  EXPECT_EQ(BoundsOf(small, kLoad), (Rect{0, 2, 10, 18}));
  // A negative size counts as none.
  EXPECT_EQ(BoundsOf(LayoutWindow(kWindow, -5, -5), kList), (Rect{0, 0, 0, 0}));
}

TEST_F(SeriesLayout, PixelAndFractionSizes) {
  tovi::RegisterLayoutWindow(kWindow);
  HWND a = Handle(1), b = Handle(2), c = Handle(3), d = Handle(4);
  // In a 200-high series: 10 gap + 0.25 of 200, 5 gap + 30 pixels, then a
  // half of what is left after a 5 gap (200-100 = 100, half 50), then all
  // but 20 of the rest.
  ASSERT_EQ(Place(a, kMainSeries, 10, 0.25, 0), kTrue);
  ASSERT_EQ(Place(b, kMainSeries, 5, 30, 0), kTrue);
  ASSERT_EQ(Place(c, kMainSeries, 5, 0.5, kSizeFromSpaceLeft), kTrue);
  ASSERT_EQ(Place(d, kMainSeries, 0, 20, kSizeFromSpaceLeft), kTrue);
  std::vector<Placement> placements = LayoutWindow(kWindow, 50, 200);
  EXPECT_EQ(BoundsOf(placements, a), (Rect{0, 10, 50, 50}));
  EXPECT_EQ(BoundsOf(placements, b), (Rect{0, 65, 50, 30}));
  EXPECT_EQ(BoundsOf(placements, c), (Rect{0, 100, 50, 50}));
  EXPECT_EQ(BoundsOf(placements, d), (Rect{0, 150, 50, 30}));
}

TEST_F(SeriesLayout, SizesAreClampedToTheSeriesEnd) {
  tovi::RegisterLayoutWindow(kWindow);
  HWND a = Handle(1), b = Handle(2), c = Handle(3), d = Handle(4);
  ASSERT_EQ(Place(a, kMainSeries, 0, 80, 0), kTrue);     // fits
  ASSERT_EQ(Place(b, kMainSeries, 0, 500, 0), kTrue);    // 20 are left
  ASSERT_EQ(Place(c, kMainSeries, 300, 0.5, 0), kTrue);  // gap past the end
  ASSERT_EQ(Place(d, kMainSeries, 0, 1, kSizeFromSpaceLeft), kTrue);
  std::vector<Placement> placements = LayoutWindow(kWindow, 10, 100);
  EXPECT_EQ(BoundsOf(placements, a), (Rect{0, 0, 10, 80}));
  EXPECT_EQ(BoundsOf(placements, b), (Rect{0, 80, 10, 20}));
  EXPECT_EQ(BoundsOf(placements, c), (Rect{0, 100, 10, 0}));
  EXPECT_EQ(BoundsOf(placements, d), (Rect{0, 100, 10, 0}));
}

TEST_F(SeriesLayout, ItemsTakeTheirFractionOfTheSlot) {
  tovi::RegisterLayoutWindow(kWindow);
  HWND a = Handle(1), b = Handle(2), c = Handle(3);
  ASSERT_EQ(
      ToviAutoSizer_SetInfo(a, kMainSeries, 0, 100, 0.25, 0.5, 0.5, 0.25, 0),
      kTrue);
  // Fractions that would reach past the slot are clipped to it.
  ASSERT_EQ(ToviAutoSizer_SetInfo(b, kMainSeries, 0, 100, 0.5, 0.5, 1, 2, 0),
            kTrue);
  ASSERT_EQ(ToviAutoSizer_SetInfo(c, kMainSeries, 0, 100, 2, 0, 1, 1, 0),
            kTrue);
  std::vector<Placement> placements = LayoutWindow(kWindow, 200, 300);
  EXPECT_EQ(BoundsOf(placements, a), (Rect{50, 50, 100, 25}));
  EXPECT_EQ(BoundsOf(placements, b), (Rect{100, 150, 100, 50}));
  EXPECT_EQ(BoundsOf(placements, c), (Rect{200, 200, 0, 100}));
}

TEST_F(SeriesLayout, NestedSeriesLayOutWithinTheirSlot) {
  tovi::RegisterLayoutWindow(kWindow);
  HWND top = Handle(1), left = Handle(2), upper = Handle(3), lower = Handle(4);
  ToviSeries row = ToviNewAutoSizerSeries(kSeriesSideBySide);
  ToviSeries column = ToviNewAutoSizerSeries(kSeriesTopToBottom);
  ASSERT_NE(row, 0);
  ASSERT_NE(column, 0);
  ASSERT_NE(row, column);
  ASSERT_EQ(Place(top, kMainSeries, 0, 40, 0), kTrue);
  // The row sits in the right half of its slot, its column after a 10 gap.
  ASSERT_EQ(ToviAutoSizer_SetInfo(row, kMainSeries, 0, 1, 0.5, 0, 0.5, 1,
                                  kItemIsSeries | kSizeFromSpaceLeft),
            kTrue);
  ASSERT_EQ(Place(left, row, 0, 0.5, 0), kTrue);
  ASSERT_EQ(Place(column, row, 10, 1, kItemIsSeries | kSizeFromSpaceLeft),
            kTrue);
  ASSERT_EQ(Place(upper, column, 0, 0.5, 0), kTrue);
  ASSERT_EQ(Place(lower, column, 0, 1, kSizeFromSpaceLeft), kTrue);

  std::vector<Placement> placements = LayoutWindow(kWindow, 400, 240);
  ASSERT_EQ(placements.size(), 4u);
  EXPECT_EQ(BoundsOf(placements, top), (Rect{0, 0, 400, 40}));
  EXPECT_EQ(BoundsOf(placements, left), (Rect{200, 40, 100, 200}));
  EXPECT_EQ(BoundsOf(placements, upper), (Rect{310, 40, 90, 100}));
  EXPECT_EQ(BoundsOf(placements, lower), (Rect{310, 140, 90, 100}));
}

TEST_F(SeriesLayout, RoundingHappensOnlyAtTheEdges) {
  // Three thirds of 100 in a row nested in a row: computed in doubles all
  // the way, the edges fall at 33 and 67 and the last ends at 100.
  tovi::RegisterLayoutWindow(kWindow);
  ToviSeries outer = ToviNewAutoSizerSeries(kSeriesSideBySide);
  ToviSeries inner = ToviNewAutoSizerSeries(kSeriesSideBySide);
  ASSERT_EQ(Place(outer, kMainSeries, 0, 1, kItemIsSeries), kTrue);
  ASSERT_EQ(Place(inner, outer, 0, 1, kItemIsSeries), kTrue);
  HWND parts[] = {Handle(1), Handle(2), Handle(3)};
  for (HWND part : parts) ASSERT_EQ(Place(part, inner, 0, 1.0 / 3, 0), kTrue);
  std::vector<Placement> placements = LayoutWindow(kWindow, 100, 10);
  EXPECT_EQ(BoundsOf(placements, parts[0]), (Rect{0, 0, 33, 10}));
  EXPECT_EQ(BoundsOf(placements, parts[1]), (Rect{33, 0, 34, 10}));
  EXPECT_EQ(BoundsOf(placements, parts[2]), (Rect{67, 0, 33, 10}));
}

TEST_F(SeriesLayout, PlacingAgainMovesTheItem) {
  tovi::RegisterLayoutWindow(kWindow);
  HWND a = Handle(1), b = Handle(2);
  ToviSeries row = ToviNewAutoSizerSeries(kSeriesSideBySide);
  ToviSeries other = ToviNewAutoSizerSeries(kSeriesSideBySide);
  ASSERT_EQ(Place(a, kMainSeries, 0, 10, 0), kTrue);
  ASSERT_EQ(Place(b, kMainSeries, 0, 10, 0), kTrue);
  ASSERT_EQ(Place(a, kMainSeries, 0, 30, 0), kTrue);  // now after b
  std::vector<Placement> placements = LayoutWindow(kWindow, 100, 100);
  ASSERT_EQ(placements.size(), 2u);
  EXPECT_EQ(BoundsOf(placements, b), (Rect{0, 0, 100, 10}));
  EXPECT_EQ(BoundsOf(placements, a), (Rect{0, 10, 100, 30}));

  // A series moves the same way, with what it holds.
  ASSERT_EQ(Place(row, kMainSeries, 0, 20, kItemIsSeries), kTrue);
  ASSERT_EQ(Place(a, row, 0, 1, 0), kTrue);
  ASSERT_EQ(Place(row, kMainSeries, 5, 20, kItemIsSeries), kTrue);
  ASSERT_EQ(Place(other, row, 0, 0.5, kItemIsSeries), kTrue);
  ASSERT_EQ(Place(other, kMainSeries, 0, 5, kItemIsSeries), kTrue);
  placements = LayoutWindow(kWindow, 100, 100);
  ASSERT_EQ(placements.size(), 2u);
  EXPECT_EQ(BoundsOf(placements, b), (Rect{0, 0, 100, 10}));
  EXPECT_EQ(BoundsOf(placements, a), (Rect{0, 15, 100, 20}));
}

TEST_F(SeriesLayout, MainSeriesNamesTheWindowRegisteredLast) {
  HWND second = Handle(0x200);
  EXPECT_EQ(Place(kList, kMainSeries, 0, 1, 0), kFalse);  // no window yet
  tovi::RegisterLayoutWindow(kWindow);
  tovi::RegisterLayoutWindow(second);
  ToviSeries first = ToviAutoSizer_GetMainSeries(kWindow);
  ASSERT_NE(first, 0);
  ASSERT_NE(ToviAutoSizer_GetMainSeries(second), first);
  ASSERT_EQ(Place(kList, kMainSeries, 0, 1, 0), kTrue);
  ASSERT_EQ(Place(kLoad, first, 0, 1, 0), kTrue);
  EXPECT_EQ(BoundsOf(LayoutWindow(second, 10, 10), kList),
            (Rect{0, 0, 10, 10}));
  EXPECT_EQ(BoundsOf(LayoutWindow(kWindow, 10, 10), kLoad),
            (Rect{0, 0, 10, 10}));
  EXPECT_EQ(LayoutWindow(kWindow, 10, 10).size(), 1u);
  EXPECT_EQ(ToviAutoSizer_GetMainSeries(Handle(0x300)), 0);
  EXPECT_TRUE(LayoutWindow(Handle(0x300), 10, 10).empty());
}

TEST_F(SeriesLayout, RefusesWhatItCannotLayOut) {
  tovi::RegisterLayoutWindow(kWindow);
  ToviSeries a = ToviNewAutoSizerSeries(kSeriesSideBySide);
  ToviSeries b = ToviNewAutoSizerSeries(kSeriesTopToBottom);
  ToviSeries c = ToviNewAutoSizerSeries(kSeriesTopToBottom);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();

  EXPECT_EQ(ToviNewAutoSizerSeries(0), 0);
  EXPECT_EQ(ToviNewAutoSizerSeries(3), 0);
  // Unknown series.
  EXPECT_EQ(Place(kList, 0, 0, 1, 0), kFalse);
  EXPECT_EQ(Place(kList, 999, 0, 1, 0), kFalse);
  EXPECT_EQ(Place(kList, -2, 0, 1, 0), kFalse);
  EXPECT_EQ(Place(ToviSeries{999}, a, 0, 1, kItemIsSeries), kFalse);
  // kItemIsSeries exactly when the item is a series; no unknown flags.
  EXPECT_EQ(Place(kList, a, 0, 1, kItemIsSeries), kFalse);
  EXPECT_EQ(Place(b, a, 0, 1, 0), kFalse);
  EXPECT_EQ(Place(kList, a, 0, 1, 2), kFalse);
  EXPECT_EQ(Place(static_cast<HWND>(nullptr), a, 0, 1, 0), kFalse);
  // Values that are not numbers of pixels or fractions.
  EXPECT_EQ(Place(kList, a, nan, 1, 0), kFalse);
  EXPECT_EQ(Place(kList, a, 0, inf, 0), kFalse);
  EXPECT_EQ(Place(kList, a, -1, 1, 0), kFalse);
  EXPECT_EQ(Place(kList, a, 0, -0.5, 0), kFalse);
  EXPECT_EQ(ToviAutoSizer_SetInfo(kList, a, 0, 1, 0, 0, -1, 1, 0), kFalse);
  EXPECT_EQ(ToviAutoSizer_SetInfo(kList, a, 0, 1, 0, nan, 1, 1, 0), kFalse);
  // A series in itself or in a cycle; a main series anywhere.
  EXPECT_EQ(Place(a, a, 0, 1, kItemIsSeries), kFalse);
  ASSERT_EQ(Place(b, a, 0, 1, kItemIsSeries), kTrue);
  ASSERT_EQ(Place(c, b, 0, 1, kItemIsSeries), kTrue);
  EXPECT_EQ(Place(a, b, 0, 1, kItemIsSeries), kFalse);
  EXPECT_EQ(Place(a, c, 0, 1, kItemIsSeries), kFalse);
  EXPECT_EQ(Place(ToviAutoSizer_GetMainSeries(kWindow), a, 0, 1, kItemIsSeries),
            kFalse);
  EXPECT_EQ(Place(ToviSeries{kMainSeries}, a, 0, 1, kItemIsSeries), kFalse);

  // Nothing refused was placed; the tree still lays out.
  ASSERT_EQ(Place(a, kMainSeries, 0, 1, kItemIsSeries), kTrue);
  ASSERT_EQ(Place(kList, c, 0, 1, 0), kTrue);
  std::vector<Placement> placements = LayoutWindow(kWindow, 30, 20);
  ASSERT_EQ(placements.size(), 1u);
  EXPECT_EQ(placements[0].bounds, (Rect{0, 0, 30, 20}));
}

// The engine itself, given a tree that SetInfo would never build: a series
// that holds itself and an unknown handle. It stops instead of looping.
TEST_F(SeriesLayout, EngineStopsOnAMalformedTree) {
  tovi::SeriesList all(1);
  all[0].items.push_back(tovi::SeriesItem{kList, 0, false, 0, 0.5});
  all[0].items.push_back(tovi::SeriesItem{nullptr, 1, true, 0, 1, 0, 0, 1, 1,
                                          kItemIsSeries | kSizeFromSpaceLeft});
  all[0].items.push_back(tovi::SeriesItem{nullptr, 7, true, 0, 1});
  std::vector<Placement> placements;
  tovi::LaySeries(all, 1, tovi::Area{0, 0, 10, 80}, placements);
  ASSERT_EQ(placements.size(), 2u);  // the list, and once more one level down
  EXPECT_EQ(placements[0].bounds, (Rect{0, 0, 10, 40}));
  EXPECT_EQ(placements[1].bounds, (Rect{0, 40, 10, 20}));
}

}  // namespace
