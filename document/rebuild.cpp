#include "document/rebuild.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int32_t kBucket = 64;
constexpr int kAhead = 16;

// How many neighbouring cycles of the permutation are moved together at
// most, and the lines held aside while they move.
constexpr int32_t kRun = 1024;

// Where a block with a body stands before and after the layout.
struct Moved {
  int32_t to = 0;      // its first line in the new order
  int32_t from = 0;    // its first line in the file
  int32_t length = 0;  // its lines
};

}  // namespace

void LayOutLines(const SourceStructure& structure, SourceDocument& doc) {
  doc.lineCount = structure.lineCount;
  doc.functions = structure.functions;
  doc.lastFunction = static_cast<int32_t>(doc.functions.size()) - 1;
  if (!structure.problem.empty()) return;

  // Without a problem, the blocks with a body follow each other without a
  // gap from the first head line (comments before a head belong to its
  // block) to the last end line: together they are the lines between the
  // header and the tail, in another order.
  int32_t header = structure.lineCount;
  for (const FunctionRecord& record : structure.functions) {
    if (record.firstLine >= 0) header = std::min(header, record.firstLine);
  }
  std::vector<Moved> moved;
  int32_t next = header;
  for (FunctionRecord& record : doc.functions) {
    const int32_t start = next;
    if (record.firstLine >= 0) {
      const int32_t length = record.lastLine - record.firstLine + 1;
      moved.push_back({start, record.firstLine, length});
      next += length;
    }
    record.firstLine = start;
    record.lastLine = next - 1;
  }

  // The lines are put in place along the cycles of the permutation, each
  // line moved once, so that no second copy of them is ever needed: the
  // document of a huge file then takes no more memory to load than to hold.
  // The line that belongs at `to` comes from the block whose new place
  // holds `to`, found through the first such block of each run of kBucket
  // lines and from there by walking on (blocks are rarely shorter).
  std::vector<uint32_t> firstBlock(
      static_cast<size_t>((next - header) / kBucket + 1));
  for (size_t k = 0, bucket = 0; bucket < firstBlock.size(); ++bucket) {
    const int32_t line = header + static_cast<int32_t>(bucket) * kBucket;
    while (k + 1 < moved.size() && moved[k + 1].to <= line) ++k;
    firstBlock[bucket] = static_cast<uint32_t>(k);
  }
  const auto blockAt = [&](int32_t to) -> const Moved& {
    size_t k = firstBlock[static_cast<size_t>((to - header) / kBucket)];
    while (k + 1 < moved.size() && moved[k + 1].to <= to) ++k;
    return moved[k];
  };
  const auto sourceOf = [&](int32_t to) {
    const Moved& block = blockAt(to);
    return block.from + (to - block.to);
  };
  // A block moves whole, so the cycle through the line after `start` takes
  // the same steps one line further on, as long as none of them reaches the
  // end of its block: those neighbouring cycles are moved together, a run
  // of lines at a time, so that the lines of long blocks move in runs
  // rather than one by one across the whole table.
  std::vector<SourceLine>& lines = doc.lines;
  SourceLine* const line = lines.data();
  std::vector<bool> placed(static_cast<size_t>(next - header));
  std::vector<SourceLine> held(static_cast<size_t>(kRun));
  for (int32_t start = header; start < next; ++start) {
    if (placed[static_cast<size_t>(start - header)]) continue;
    int32_t run = std::min(kRun, next - start);
    int32_t to = start;
    do {
      const Moved& block = blockAt(to);
      run = std::min(run, block.to + block.length - to);
      to = block.from + (to - block.to);
    } while (run > 1 && to != start);
    if (run > 1) {
      const auto count = static_cast<size_t>(run);
      std::copy_n(line + start, count, held.data());
      for (to = start;;) {
        const auto at = placed.begin() + (to - header);
        std::fill(at, at + run, true);
        const int32_t from = sourceOf(to);
        if (from == start) {
          std::copy_n(held.data(), count, line + to);
          break;
        }
        std::copy_n(line + from, count, line + to);
        to = from;
      }
      continue;
    }
    // A cycle that moves alone wanders all over the lines; where it goes is
    // known in advance, so the lines a few steps ahead are fetched while
    // these move.
    const SourceLine alone = line[start];
    int32_t ahead = start;
    for (int i = 0; i < kAhead && (ahead = sourceOf(ahead)) != start; ++i) {
      __builtin_prefetch(line + ahead);
    }
    for (to = start;;) {
      placed[static_cast<size_t>(to - header)] = true;
      const int32_t from = sourceOf(to);
      if (from == start) {
        line[to] = alone;
        break;
      }
      if (ahead != start && (ahead = sourceOf(ahead)) != start) {
        __builtin_prefetch(line + ahead);
      }
      line[to] = line[from];
      to = from;
    }
  }
}
