// Times loading, moving, sorting and saving large source files against a plain
// copy of the same bytes. Prints one figure a line, "NAME: VALUE UNIT".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "document/preview.h"
#include "document/source_document.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::kRuns;
using bench::MakeSource;
using bench::Median;
using bench::MillisecondsSince;
using bench::Print;

constexpr int kMoves = 1000;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Reads and writes the bytes with the C library's buffered streams.
double CopyMs(const fs::path& from, const fs::path& to) {
  const auto start = Clock::now();
  std::FILE* in = std::fopen(from.string().c_str(), "rb");
  std::FILE* out = std::fopen(to.string().c_str(), "wb");
  std::vector<char> buffer(size_t{1} << 16);
  size_t got = 0;
  while (in && out &&
         (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
    std::fwrite(buffer.data(), 1, got, out);
  }
  if (in) std::fclose(in);
  if (out) std::fclose(out);
  return MillisecondsSince(start);
}

// Prints the figures for one file; returns (load + save) / copy.
double Measure(const fs::path& folder, int lines, int functions) {
  std::mt19937 random(static_cast<unsigned>(lines));
  const fs::path source = folder / "source.ost";
  WriteFile(source, MakeSource(lines, functions, random));
  std::printf("# %d lines, %d functions\n", lines, functions);

  std::vector<double> copies, loads, saves, moves;
  for (int run = 0; run < kRuns; ++run) {
    copies.push_back(CopyMs(source, folder / "copy.ost"));
  }
  SourceDocument doc;
  HWND list = nullptr;
  for (int run = 0; run < kRuns; ++run) {
    tovi::memory::Reset();
    HWND window =
        ToviNewWindow(nullptr, "Bench", -1, -1, 400, 300, 0, 0, nullptr, 0);
    list = ToviAddListBox(window, 0, 0, 4);
    doc = SourceDocument();
    const auto start = Clock::now();
    if (LoadSource(doc, list, source.string()) != kTrue) return 0;
    loads.push_back(MillisecondsSince(start));
  }
  for (int run = 0; run < kRuns; ++run) {
    const auto start = Clock::now();
    if (SaveSource(doc, (folder / "saved.ost").string()) != kTrue) return 0;
    saves.push_back(MillisecondsSince(start));
  }
  std::uniform_int_distribution<int32_t> position(0, doc.lastFunction);
  for (int move = 0; move < kMoves; ++move) {
    tovi::memory::Select(list, position(random));
    const bool up = move % 2 == 0;
    const auto start = Clock::now();
    up ? MoveFunctionUp(doc, list) : MoveFunctionDown(doc, list);
    moves.push_back(MillisecondsSince(start));
  }

  // Far moves: each carries a function across at least half the list.
  std::vector<double> drags, undos;
  const int32_t half = (doc.lastFunction + 1) / 2;
  std::uniform_int_distribution<int32_t> near(0, std::max(half - 1, 0));
  for (int move = 0; move < kMoves; ++move) {
    const int32_t from = near(random);
    const int32_t to = doc.lastFunction - near(random);
    const bool down = move % 2 == 0;
    const auto start = Clock::now();
    if (MoveFunction(doc, list, down ? from : to, down ? to : from) != kTrue) {
      return 0;
    }
    drags.push_back(MillisecondsSince(start));
  }
  for (int move = 0; move < kMoves; ++move) {
    const auto start = Clock::now();
    if (UndoMove(doc, list) != kTrue) return 0;
    undos.push_back(MillisecondsSince(start));
  }

  // Redone, the far moves leave the functions out of order; each run sorts
  // them by name and undoes the sort.
  for (int move = 0; move < kMoves; ++move) {
    if (RedoMove(doc, list) != kTrue) return 0;
  }
  std::vector<double> sorts;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = Clock::now();
    if (SortFunctionsByName(doc, list) != kTrue) return 0;
    sorts.push_back(MillisecondsSince(start));
    if (UndoMove(doc, list) != kTrue) return 0;
  }

  // The preview of the largest function, as F3 shows it.
  size_t largest = 0;
  for (size_t f = 1; f < doc.functions.size(); ++f) {
    const FunctionRecord& a = doc.functions[f];
    const FunctionRecord& b = doc.functions[largest];
    if (a.lastLine - a.firstLine > b.lastLine - b.firstLine) largest = f;
  }
  std::vector<double> previews;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = Clock::now();
    if (BuildPreview(doc, static_cast<int32_t>(largest)).text.empty()) return 0;
    previews.push_back(MillisecondsSince(start));
  }

  const double copy = Median(copies);
  const double load = Median(loads);
  const double save = Median(saves);
  Print("copy_ms", copy, "ms");
  Print("load_ms", load, "ms");
  Print("move_ms", Median(moves), "ms");
  Print("drag_ms", Median(drags), "ms");
  Print("undo_ms", Median(undos), "ms");
  Print("sort_ms", Median(sorts), "ms");
  Print("preview_ms", Median(previews), "ms");
  Print("save_ms", save, "ms");
  return (load + save) / copy;
}

}  // namespace

int main() {
  const fs::path folder =
      fs::temp_directory_path() /
      ("kalvane-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  Measure(folder, 100000, 1000);
  const double ratio = Measure(folder, 1000000, 10000);
  std::printf("ratio_load_save_vs_copy: %.2f\n", ratio);
  tovi::memory::Reset();
  fs::remove_all(folder);
  return ratio > 0 ? 0 : 1;
}
