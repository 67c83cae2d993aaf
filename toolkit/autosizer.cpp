// The series every window and ToviNewAutoSizerSeries made, and the checks on
// what is placed in them. Together they always form a forest: each series
// and each control is placed in at most one series, and a series is never
// placed inside itself, so laying a window out always ends.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "toolkit/series_layout.h"
#include "toolkit/series_tree.h"
#include "toolkit/tovi.h"

namespace {

struct Store {
  tovi::SeriesList series;
  std::unordered_map<HWND, ToviSeries> mainSeries;  // by window
  std::unordered_map<HWND, ToviSeries> placedIn;    // by control
  ToviSeries lastMain = 0;                          // what kMainSeries names
};

Store& TheStore() {
  static Store store;
  return store;
}

tovi::Series* FindSeries(ToviSeries handle) {
  Store& store = TheStore();
  if (handle == kMainSeries) handle = store.lastMain;
  if (handle < 1 || static_cast<size_t>(handle) > store.series.size()) {
    return nullptr;
  }
  return &store.series[static_cast<size_t>(handle) - 1];
}

ToviSeries AddSeries(int32_t direction, HWND window) {
  Store& store = TheStore();
  store.series.push_back(tovi::Series{direction, {}, window, 0});
  return static_cast<ToviSeries>(store.series.size());
}

ToviSeries HandleOf(const tovi::Series* series) {
  return static_cast<ToviSeries>(series - TheStore().series.data()) + 1;
}

// Takes the placement of a control or nested series out of the series that
// holds it.
void Unplace(ToviSeries from, const ToviItem& item) {
  tovi::Series* series = FindSeries(from);
  if (series == nullptr) return;
  std::erase_if(series->items, [&](const tovi::SeriesItem& placed) {
    return item.isSeries ? placed.isSeries && placed.series == item.series
                         : !placed.isSeries && placed.control == item.control;
  });
}

// Whether `inner` is `outer` or lies somewhere inside it.
bool IsWithin(ToviSeries inner, ToviSeries outer) {
  for (size_t steps = 0; inner != 0 && steps <= TheStore().series.size();
       ++steps) {
    if (inner == outer) return true;
    inner = FindSeries(inner)->parent;
  }
  return false;
}

bool ValuesAcceptable(double space, double size, double x, double y, double w,
                      double h) {
  for (double v : {space, size, x, y, w, h}) {
    if (!std::isfinite(v) || v < 0) return false;
  }
  return true;
}

}  // namespace

ToviSeries ToviAutoSizer_GetMainSeries(HWND window) {
  auto found = TheStore().mainSeries.find(window);
  return found == TheStore().mainSeries.end() ? 0 : found->second;
}

ToviSeries ToviNewAutoSizerSeries(int32_t direction) {
  if (direction != kSeriesSideBySide && direction != kSeriesTopToBottom) {
    return 0;
  }
  return AddSeries(direction, nullptr);
}

ToviBool ToviAutoSizer_SetInfo(ToviItem item, ToviSeries series, double space,
                               double size, double x, double y, double w,
                               double h, int32_t flags) {
  constexpr int32_t kKnownFlags = kSizeFromSpaceLeft | kItemIsSeries;
  tovi::Series* target = FindSeries(series);
  if (target == nullptr || (flags & ~kKnownFlags) != 0 ||
      ((flags & kItemIsSeries) != 0) != item.isSeries ||
      !ValuesAcceptable(space, size, x, y, w, h)) {
    return kFalse;
  }
  ToviSeries targetHandle = HandleOf(target);
  Store& store = TheStore();
  if (item.isSeries) {
    tovi::Series* nested = FindSeries(item.series);
    // A window's main series fills the window; it is never placed elsewhere.
    if (item.series == kMainSeries || nested == nullptr ||
        nested->window != nullptr || IsWithin(targetHandle, item.series)) {
      return kFalse;
    }
    Unplace(nested->parent, item);
    nested->parent = targetHandle;
  } else {
    if (item.control == nullptr) return kFalse;
    auto [where, fresh] =
        store.placedIn.try_emplace(item.control, targetHandle);
    if (!fresh) {
      Unplace(where->second, item);
      where->second = targetHandle;
    }
  }
  target->items.push_back(tovi::SeriesItem{item.control, item.series,
                                           item.isSeries, space, size, x, y, w,
                                           h, flags});
  return kTrue;
}

namespace tovi {

void RegisterLayoutWindow(HWND window) {
  if (window == nullptr) return;
  Store& store = TheStore();
  auto found = store.mainSeries.find(window);
  if (found != store.mainSeries.end()) {
    store.lastMain = found->second;
    return;
  }
  store.lastMain = AddSeries(kSeriesTopToBottom, window);
  store.mainSeries.emplace(window, store.lastMain);
}

std::vector<Placement> LayoutWindow(HWND window, int32_t clientWidth,
                                    int32_t clientHeight, double scale) {
  std::vector<Placement> placements;
  ToviSeries main = ToviAutoSizer_GetMainSeries(window);
  if (main == 0) return placements;
  Area client{0, 0, static_cast<double>(std::max(clientWidth, 0)),
              static_cast<double>(std::max(clientHeight, 0))};
  LaySeries(TheStore().series, main, client, placements, scale);
  return placements;
}

void ResetLayout() {
  TheStore() = Store{};
}

}  // namespace tovi
