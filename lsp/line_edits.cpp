#include "lsp/line_edits.h"

#include <algorithm>

namespace {

// New lines [newStart, newStart + length) are old lines [oldStart, ...).
struct Run {
  int32_t oldStart = 0;
  int32_t newStart = 0;
  int32_t length = 0;
};

// The old index of a line of `after`, or -1 for a line that cannot be kept.
int32_t OldIndex(const std::vector<SourceLine>& before,
                 const SourceLine& line) {
  if (line.terminatorLength == 0) return -1;
  const auto it = std::lower_bound(before.begin(), before.end(), line.offset,
                                   [](const SourceLine& old, int64_t offset) {
                                     return old.offset < offset;
                                   });
  if (it == before.end() || it->offset != line.offset ||
      it->terminatorLength != line.terminatorLength) {
    return -1;
  }
  return static_cast<int32_t>(it - before.begin());
}

std::vector<Run> RunsOf(const std::vector<SourceLine>& before,
                        const std::vector<SourceLine>& after) {
  std::vector<Run> runs;
  int32_t previous = -1;
  for (size_t j = 0; j < after.size(); ++j) {
    const SourceLine& line = after[j];
    // Most lines follow the line before them, which needs no search.
    int32_t old = -1;
    if (line.terminatorLength == 0) {
      old = -1;
    } else if (previous >= 0 &&
               previous + 1 < static_cast<int32_t>(before.size()) &&
               before[static_cast<size_t>(previous) + 1].offset ==
                   line.offset &&
               line.terminatorLength ==
                   before[static_cast<size_t>(previous) + 1].terminatorLength) {
      old = previous + 1;
    } else {
      old = OldIndex(before, line);
    }
    if (old >= 0 && previous >= 0 && old == previous + 1 && !runs.empty()) {
      ++runs.back().length;
    } else if (old >= 0) {
      runs.push_back({old, static_cast<int32_t>(j), 1});
    }
    previous = old;
  }
  return runs;
}

// The runs, in new order, of the heaviest chain whose old starts rise: the
// most lines that can stay where they are.
std::vector<Run> KeptRuns(const std::vector<Run>& runs) {
  const size_t n = runs.size();
  // Ranks by old start; a Fenwick tree over them gives the best chain
  // ending below a rank.
  std::vector<size_t> byOld(n);
  for (size_t i = 0; i < n; ++i) byOld[i] = i;
  std::sort(byOld.begin(), byOld.end(), [&](size_t a, size_t b) {
    return runs[a].oldStart < runs[b].oldStart;
  });
  std::vector<size_t> rank(n);
  for (size_t r = 0; r < n; ++r) rank[byOld[r]] = r + 1;
  std::vector<int64_t> bestWeight(n + 1, 0);
  std::vector<int64_t> bestRun(n + 1, -1);
  std::vector<int64_t> chainWeight(n, 0);
  std::vector<int64_t> chainBefore(n, -1);
  for (size_t i = 0; i < n; ++i) {
    int64_t weight = 0;
    int64_t from = -1;
    for (size_t r = rank[i] - 1; r > 0; r -= r & (~r + 1)) {
      if (bestWeight[r] > weight) {
        weight = bestWeight[r];
        from = bestRun[r];
      }
    }
    chainWeight[i] = weight + runs[i].length;
    chainBefore[i] = from;
    for (size_t r = rank[i]; r <= n; r += r & (~r + 1)) {
      if (chainWeight[i] > bestWeight[r]) {
        bestWeight[r] = chainWeight[i];
        bestRun[r] = static_cast<int64_t>(i);
      }
    }
  }
  int64_t last = -1;
  for (size_t i = 0; i < n; ++i) {
    if (last < 0 || chainWeight[i] > chainWeight[static_cast<size_t>(last)]) {
      last = static_cast<int64_t>(i);
    }
  }
  std::vector<Run> kept;
  for (int64_t i = last; i >= 0; i = chainBefore[static_cast<size_t>(i)]) {
    kept.push_back(runs[static_cast<size_t>(i)]);
  }
  std::reverse(kept.begin(), kept.end());
  return kept;
}

}  // namespace

std::vector<LineEdit> LineEdits(std::string_view bytes,
                                const std::vector<SourceLine>& before,
                                const std::vector<SourceLine>& after,
                                std::string_view fallback) {
  std::vector<Run> kept = KeptRuns(RunsOf(before, after));
  // A run past the end closes the last gap.
  kept.push_back({static_cast<int32_t>(before.size()),
                  static_cast<int32_t>(after.size()), 0});
  std::vector<LineEdit> edits;
  int32_t oldAt = 0;
  int32_t newAt = 0;
  for (const Run& run : kept) {
    if (run.oldStart > oldAt || run.newStart > newAt) {
      LineEdit edit{oldAt, run.oldStart, {}};
      for (int32_t j = newAt; j < run.newStart; ++j) {
        const SourceLine& line = after[static_cast<size_t>(j)];
        edit.text.append(bytes.substr(
            static_cast<size_t>(line.offset),
            static_cast<size_t>(line.length + line.terminatorLength)));
        if (line.terminatorLength == 0) edit.text.append(fallback);
      }
      edits.push_back(std::move(edit));
    }
    oldAt = run.oldStart + run.length;
    newAt = run.newStart + run.length;
  }
  return edits;
}
