// Times the Linux backend's list on a real display: filling it with 10,000
// entries and looking 100 of them up, and loading a 10,000-function file
// from the moment the Load dialog answers until the list has been drawn.
// Prints one figure a line, "NAME: VALUE UNIT". Needs a display: `make
// bench` gives it a virtual one.
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_common.h"
#include "document/source_document.h"
#include "toolkit/gtk/backend.h"

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::Median;
using bench::MillisecondsSince;
using bench::Print;

constexpr int kEntries = 10000;
constexpr int kLookups = 100;
constexpr int32_t kListId = 1;

// Runs the event loop until the list has been drawn once more.
void UntilDrawn(HWND list) {
  bool drawn = false;
  const gulong handler = g_signal_connect_after(
      list->widget, "draw",
      G_CALLBACK(+[](GtkWidget*, cairo_t*, gpointer data) {
        *static_cast<bool*>(data) = true;
        return FALSE;
      }),
      &drawn);
  gtk_widget_queue_draw(list->widget);
  while (!drawn) gtk_main_iteration();
  g_signal_handler_disconnect(list->widget, handler);
}

// Fills the list, then looks up entries spread over it; the time of both,
// and separately the time until the filled list is on screen.
void FillAndFind(HWND list, double& callsMs, double& drawnMs) {
  ToviListBox_Clear(list);
  UntilDrawn(list);
  const auto start = Clock::now();
  for (int i = 0; i < kEntries; ++i) {
    ToviListBox_AddItem(list, -1, "Function" + std::to_string(i));
  }
  int found = 0;
  for (int i = 0; i < kLookups; ++i) {
    // Lookups ignore ASCII case, so the spelling differs from the entry's.
    const int wanted = (i * 7919) % kEntries;
    found += ToviListBox_GetIndex(list, "FUNCTION" + std::to_string(wanted)) ==
             wanted;
  }
  callsMs = MillisecondsSince(start);
  UntilDrawn(list);
  drawnMs = MillisecondsSince(start);
  if (found != kLookups)
    std::printf("error: %d lookups failed\n", kLookups - found);
}

// A file of 10,000 functions whose bodies stand shuffled, as the document
// benchmark makes them; from LoadSource (the dialog has just answered)
// until the list shows the functions.
double LoadUntilDrawn(HWND list, const fs::path& file) {
  SourceDocument document;
  ToviListBox_Clear(list);
  UntilDrawn(list);
  const auto start = Clock::now();
  if (LoadSource(document, list, file.string()) == kFalse) {
    std::printf("error: cannot load %s\n", file.c_str());
  }
  UntilDrawn(list);
  return MillisecondsSince(start);
}

}  // namespace

int main() {
  if (Tovi() != 0) {
    std::printf("error: no display\n");
    return 1;
  }
  HWND window =
      ToviNewWindow(nullptr, "list bench", -1, -1, 400, 300, 0, 0, nullptr, 0);
  HWND list = ToviAddListBox(window, 0, 0, kListId);
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 1, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviDisplay(window);

  std::vector<double> calls;
  std::vector<double> drawn;
  for (int run = 0; run < bench::kRuns; ++run) {
    double callsMs = 0;
    double drawnMs = 0;
    FillAndFind(list, callsMs, drawnMs);
    calls.push_back(callsMs);
    drawn.push_back(drawnMs);
  }
  Print("fill_10000_and_100_lookups", Median(calls), "ms");
  Print("fill_10000_and_100_lookups_until_drawn", Median(drawn), "ms");

  std::mt19937 random(12);
  const fs::path file = fs::temp_directory_path() / "kalvane_list_bench.ost";
  std::ofstream(file, std::ios::binary)
      << bench::MakeSource(100000, kEntries, random);
  std::vector<double> loads;
  for (int run = 0; run < bench::kRuns; ++run) {
    loads.push_back(LoadUntilDrawn(list, file));
  }
  fs::remove(file);
  Print("load_10000_functions_until_drawn", Median(loads), "ms");
  return 0;
}
