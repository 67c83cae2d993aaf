#include "arrange/unified_diff.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Lines as patch and git cut them: at LF only, so that a CR, alone or before
// the LF, stays inside its line and a CRLF file's diff has CRLF lines.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    const size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
    lines.push_back(bytes.substr(start, end - start));
    start = end;
  }
  return lines;
}

// Which lines of `a` are removed and which of `b` added; the others are
// common, in order. Equal lines share a number, so comparing is cheap.
//
// An arrangement moves whole functions, which can be long: the plain
// shortest-edit search would take time and memory in proportion to the
// length of the file times the length of the moved function. So, as in the
// patience method, lines that occur once on each side anchor the diff,
// their longest run in order is kept, and only the gaps between anchors are
// searched. A gap without such lines whose shortest edit is long is given
// as removed on one side and added on the other, which applies all the
// same.
class LineDiff {
 public:
  LineDiff(std::vector<uint32_t> a, std::vector<uint32_t> b, size_t distinct)
      : a_(std::move(a)),
        b_(std::move(b)),
        removed_(a_.size(), false),
        added_(b_.size(), false),
        countA_(distinct, 0),
        countB_(distinct, 0),
        whereB_(distinct, 0) {
    std::vector<Gap> gaps{{0, a_.size(), 0, b_.size()}};
    while (!gaps.empty()) {
      const Gap gap = gaps.back();
      gaps.pop_back();
      Split(gap, gaps);
    }
  }

  const std::vector<bool>& removed() const { return removed_; }
  const std::vector<bool>& added() const { return added_; }

 private:
  struct Gap {
    size_t a0, a1, b0, b1;
  };

  // The longest shortest edit searched for in a gap without anchors. It
  // keeps the search's time near (gap length x this) and its memory near
  // this squared.
  static constexpr size_t kMaxEdit = 1000;

  void Split(Gap g, std::vector<Gap>& gaps) {
    while (g.a0 < g.a1 && g.b0 < g.b1 && a_[g.a0] == b_[g.b0]) ++g.a0, ++g.b0;
    while (g.a0 < g.a1 && g.b0 < g.b1 && a_[g.a1 - 1] == b_[g.b1 - 1]) {
      --g.a1, --g.b1;
    }
    if (g.a0 == g.a1 || g.b0 == g.b1) {
      Replace(g);
      return;
    }
    const std::vector<std::pair<size_t, size_t>> anchors = Anchors(g);
    if (anchors.empty()) {
      if (!ShortestEdit(g)) Replace(g);
      return;
    }
    size_t a = g.a0, b = g.b0;
    for (const auto& [i, j] : anchors) {
      gaps.push_back({a, i, b, j});
      a = i + 1;
      b = j + 1;
    }
    gaps.push_back({a, g.a1, b, g.b1});
  }

  void Replace(const Gap& g) {
    std::fill(removed_.begin() + static_cast<ptrdiff_t>(g.a0),
              removed_.begin() + static_cast<ptrdiff_t>(g.a1), true);
    std::fill(added_.begin() + static_cast<ptrdiff_t>(g.b0),
              added_.begin() + static_cast<ptrdiff_t>(g.b1), true);
  }

  // The pairs of lines that occur once in each side of the gap, the longest
  // run of them that stands in the same order on both sides.
  std::vector<std::pair<size_t, size_t>> Anchors(const Gap& g) {
    const auto bump = [](uint8_t& count) { count = count < 2 ? count + 1 : 2; };
    for (size_t i = g.a0; i < g.a1; ++i) bump(countA_[a_[i]]);
    for (size_t j = g.b0; j < g.b1; ++j) {
      bump(countB_[b_[j]]);
      whereB_[b_[j]] = j;
    }
    std::vector<std::pair<size_t, size_t>> unique;
    for (size_t i = g.a0; i < g.a1; ++i) {
      if (countA_[a_[i]] == 1 && countB_[a_[i]] == 1) {
        unique.emplace_back(i, whereB_[a_[i]]);
      }
    }
    for (size_t i = g.a0; i < g.a1; ++i) countA_[a_[i]] = 0;
    for (size_t j = g.b0; j < g.b1; ++j) countB_[b_[j]] = 0;

    // Longest increasing run of the positions in b: tails[k] is the pair
    // ending the best run of length k + 1 found so far.
    std::vector<size_t> tails, before(unique.size());
    for (size_t n = 0; n < unique.size(); ++n) {
      const auto at = std::lower_bound(
          tails.begin(), tails.end(), unique[n].second,
          [&](size_t t, size_t j) { return unique[t].second < j; });
      before[n] = at == tails.begin() ? SIZE_MAX : *(at - 1);
      if (at == tails.end()) {
        tails.push_back(n);
      } else {
        *at = n;
      }
    }
    std::vector<std::pair<size_t, size_t>> run;
    for (size_t n = tails.empty() ? SIZE_MAX : tails.back(); n != SIZE_MAX;
         n = before[n]) {
      run.push_back(unique[n]);
    }
    std::reverse(run.begin(), run.end());
    return run;
  }

  // The shortest edit of the gap by the greedy forward search, when it is
  // at most kMaxEdit long; false otherwise, marking nothing.
  bool ShortestEdit(const Gap& g) {
    const auto n = static_cast<ptrdiff_t>(g.a1 - g.a0);
    const auto m = static_cast<ptrdiff_t>(g.b1 - g.b0);
    const auto limit = static_cast<ptrdiff_t>(kMaxEdit);
    if (std::abs(n - m) > limit) return false;
    const ptrdiff_t most = std::min(n + m, limit);
    // x reached on diagonal k = x - y, at v[k + offset]; trace keeps, for
    // each edit length d, the diagonals -d-1..d+1 as they were before it.
    const ptrdiff_t offset = most + 1;
    std::vector<ptrdiff_t> v(static_cast<size_t>(2 * most + 3), 0);
    std::vector<std::vector<ptrdiff_t>> trace;
    const auto at = [&](std::vector<ptrdiff_t>& row,
                        ptrdiff_t k) -> ptrdiff_t& {
      return row[static_cast<size_t>(k + offset)];
    };
    for (ptrdiff_t d = 0; d <= most; ++d) {
      trace.emplace_back(v.begin() + (offset - d - 1),
                         v.begin() + (offset + d + 2));
      for (ptrdiff_t k = -d; k <= d; k += 2) {
        ptrdiff_t x = k == -d || (k != d && at(v, k - 1) < at(v, k + 1))
                          ? at(v, k + 1)
                          : at(v, k - 1) + 1;
        ptrdiff_t y = x - k;
        while (x < n && y < m &&
               a_[g.a0 + static_cast<size_t>(x)] ==
                   b_[g.b0 + static_cast<size_t>(y)]) {
          ++x, ++y;
        }
        at(v, k) = x;
        if (x >= n && y >= m) {
          MarkEdit(g, trace, d, k);
          return true;
        }
      }
    }
    return false;
  }

  // Walks the search back from diagonal k at edit length d, marking the one
  // line each step of the edit removes or adds.
  void MarkEdit(const Gap& g, const std::vector<std::vector<ptrdiff_t>>& trace,
                ptrdiff_t d, ptrdiff_t k) {
    for (; d > 0; --d) {
      const std::vector<ptrdiff_t>& row = trace[static_cast<size_t>(d)];
      const auto was = [&](ptrdiff_t diagonal) {
        return row[static_cast<size_t>(diagonal + d + 1)];
      };
      const bool down = k == -d || (k != d && was(k - 1) < was(k + 1));
      const ptrdiff_t previousK = down ? k + 1 : k - 1;
      const ptrdiff_t previousX = was(previousK);
      if (down) {
        added_[g.b0 + static_cast<size_t>(previousX - previousK)] = true;
      } else {
        removed_[g.a0 + static_cast<size_t>(previousX)] = true;
      }
      k = previousK;
    }
  }

  std::vector<uint32_t> a_, b_;
  std::vector<bool> removed_, added_;
  std::vector<uint8_t> countA_, countB_;
  std::vector<size_t> whereB_;
};

// How a path is named in the headers: with '/' between folders on every
// system, and in double quotes with C escapes, as git writes it, when it
// holds a space, a quote, a backslash or a control character, so that patch
// and git apply both read it back whole.
std::string HeaderName(std::string path) {
  if (std::filesystem::path::preferred_separator != '/') {
    std::replace(path.begin(), path.end(),
                 static_cast<char>(std::filesystem::path::preferred_separator),
                 '/');
  }
  const auto plain = [](unsigned char c) {
    return c > ' ' && c != '"' && c != '\\' && c != 0x7f;
  };
  if (std::all_of(path.begin(), path.end(), plain)) return path;
  std::string quoted = "\"";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      default:
        if (byte < ' ' || byte == 0x7f) {
          quoted += '\\';
          quoted += static_cast<char>('0' + (byte >> 6));
          quoted += static_cast<char>('0' + ((byte >> 3) & 7));
          quoted += static_cast<char>('0' + (byte & 7));
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

// "START,COUNT" of a hunk's side; a side without lines names the line
// before the place.
std::string Range(size_t first, size_t count) {
  return std::to_string(count == 0 ? first : first + 1) + "," +
         std::to_string(count);
}

// Numbers the lines of both sides so that equal lines, and only they, get
// equal numbers; the count of distinct lines goes to `distinct`. The table
// holds line indexes (plus one; 0 is a free slot), open addressed, which
// takes a fraction of the memory a map of nodes would.
void NumberLines(const std::vector<std::string_view>& a,
                 const std::vector<std::string_view>& b,
                 std::vector<uint32_t>& numberedA,
                 std::vector<uint32_t>& numberedB, size_t& distinct) {
  size_t slots = 16;
  while (slots < 2 * (a.size() + b.size())) slots *= 2;
  std::vector<uint32_t> table(slots, 0);
  std::vector<std::string_view> first;  // each distinct line, by its number
  const auto number = [&](const std::vector<std::string_view>& lines,
                          std::vector<uint32_t>& numbered) {
    numbered.reserve(lines.size());
    for (const std::string_view line : lines) {
      size_t slot = std::hash<std::string_view>{}(line) & (slots - 1);
      while (table[slot] != 0 && first[table[slot] - 1] != line) {
        slot = (slot + 1) & (slots - 1);
      }
      if (table[slot] == 0) {
        first.push_back(line);
        table[slot] = static_cast<uint32_t>(first.size());
      }
      numbered.push_back(table[slot] - 1);
    }
  };
  number(a, numberedA);
  number(b, numberedB);
  distinct = first.size();
}

// Writes the diff's lines to `out`, or, given none, only counts their bytes,
// so that the text can be made in one allocation of the right size.
class DiffText {
 public:
  explicit DiffText(std::string* out) : out_(out) {}

  void Add(std::string_view text) {
    size_ += text.size();
    if (out_ != nullptr) out_->append(text);
  }
  void Line(char mark, std::string_view line) {
    Add(std::string_view(&mark, 1));
    Add(line);
    if (line.empty() || line.back() != '\n') {
      Add("\n\\ No newline at end of file\n");
    }
  }
  size_t size() const { return size_; }

 private:
  std::string* out_;
  size_t size_ = 0;
};

// Hunks of the changes with three common lines around each; changes closer
// than twice that share a hunk.
void WriteHunks(const std::vector<std::string_view>& a,
                const std::vector<std::string_view>& b,
                const std::vector<bool>& removed,
                const std::vector<bool>& added, DiffText& out) {
  constexpr size_t kContext = 3;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && !removed[i] && !added[j]) {
      ++i, ++j;
      continue;
    }
    // A change at (i, j): the hunk starts up to kContext common lines
    // earlier and runs until kContext * 2 common lines follow its last
    // change, or the files end.
    const size_t back = std::min({kContext, i, j});
    const size_t startA = i - back, startB = j - back;
    size_t endA = i, endB = j, common = 0;
    while ((endA < a.size() || endB < b.size()) && common <= 2 * kContext) {
      if (endA < a.size() && removed[endA]) {
        ++endA, common = 0;
      } else if (endB < b.size() && added[endB]) {
        ++endB, common = 0;
      } else {
        ++endA, ++endB, ++common;
      }
    }
    const size_t trailing = std::min(common, kContext);
    endA -= common - trailing;
    endB -= common - trailing;
    out.Add("@@ -" + Range(startA, endA - startA) + " +" +
            Range(startB, endB - startB) + " @@\n");
    size_t x = startA, y = startB;
    while (x < endA || y < endB) {
      if (x < endA && removed[x]) {
        out.Line('-', a[x++]);
      } else if (y < endB && added[y]) {
        out.Line('+', b[y++]);
      } else {
        out.Line(' ', a[x++]);
        ++y;
      }
    }
    i = endA;
    j = endB;
  }
}

}  // namespace

std::string UnifiedDiff(const std::string& path, std::string_view before,
                        std::string_view after) {
  if (before == after) return std::string();
  const std::vector<std::string_view> a = SplitLines(before);
  const std::vector<std::string_view> b = SplitLines(after);
  std::vector<uint32_t> numberedA, numberedB;
  size_t distinct = 0;
  NumberLines(a, b, numberedA, numberedB, distinct);
  const LineDiff diff(std::move(numberedA), std::move(numberedB), distinct);

  const std::string name = HeaderName(path);
  std::string out = "--- " + name + "\n+++ " + name + "\n";
  DiffText counter(nullptr);
  WriteHunks(a, b, diff.removed(), diff.added(), counter);
  out.reserve(out.size() + counter.size());
  DiffText text(&out);
  WriteHunks(a, b, diff.removed(), diff.added(), text);
  return out;
}

std::string ColorDiff(std::string_view diff) {
  std::string out;
  out.reserve(diff.size() + diff.size() / 4);
  for (size_t start = 0, line = 0; start < diff.size(); ++line) {
    const size_t feed = std::min(diff.find('\n', start), diff.size());
    const std::string_view text = diff.substr(start, feed - start);
    // Only the first two lines are the header; after it every line opens
    // with a hunk head's "@@" or one of " -+\\", so "--- x" is a removed
    // line there.
    const char* color = line < 2                 ? "\x1b[1m"
                        : text.starts_with("@@") ? "\x1b[36m"
                        : text.starts_with('-')  ? "\x1b[31m"
                        : text.starts_with('+')  ? "\x1b[32m"
                                                 : nullptr;
    if (color != nullptr) {
      out += color;
      out += text;
      out += "\x1b[m";
    } else {
      out += text;
    }
    out += diff.substr(feed, 1);
    start = feed + 1;
  }
  return out;
}
