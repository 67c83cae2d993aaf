// Sort by Name, and the rearrangement by any order that it, its undo and its
// redo make in one step each.
#include <algorithm>
#include <exception>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/natural_order.h"
#include "document/order_by_names.h"
#include "document/rearrange.h"
#include "document/source_document.h"

namespace {

// The number of functions when every one of them can change places with any
// other and each has its list entry; 0 otherwise.
int32_t Arrangeable(const SourceDocument& doc, HWND list) {
  const int32_t count = doc.lastFunction + 1;
  if (!doc.problem.empty() || count < 1 ||
      doc.functions.size() != static_cast<size_t>(count) ||
      ToviListBox_GetCount(list) != count ||
      !BlocksInOneRun(doc, 0, count - 1)) {
    return 0;
  }
  return count;
}

std::vector<std::string> EntryTexts(HWND list, int32_t count) {
  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    texts.push_back(ToviListBox_GetItem(list, i));
  }
  return texts;
}

// The lines with the blocks in `order` and each declaration slot holding the
// text of the function it now describes, and the records that go with them.
// Declaration slots lie outside the run of blocks, so the header and the
// tail keep their line numbers.
void Rearranged(const SourceDocument& doc, const std::vector<int32_t>& order,
                std::vector<SourceLine>& lines,
                std::vector<FunctionRecord>& records) {
  const auto old = [&](size_t i) -> const FunctionRecord& {
    return doc.functions[static_cast<size_t>(order[i])];
  };
  const auto line = [&](int32_t i) { return doc.lines.begin() + i; };
  const int32_t begin = doc.functions.front().firstLine;
  const int32_t end = doc.functions.back().lastLine + 1;
  lines.reserve(doc.lines.size());
  records = doc.functions;
  lines.insert(lines.end(), doc.lines.begin(), line(begin));
  for (size_t i = 0; i < order.size(); ++i) {
    records[i].firstLine = static_cast<int32_t>(lines.size());
    lines.insert(lines.end(), line(old(i).firstLine),
                 line(old(i).lastLine + 1));
    records[i].lastLine = static_cast<int32_t>(lines.size()) - 1;
  }
  lines.insert(lines.end(), line(end), doc.lines.end());
  for (size_t i = 0; i < order.size(); ++i) {
    lines[static_cast<size_t>(records[i].declLine)] =
        doc.lines[static_cast<size_t>(old(i).declLine)];
  }
}

}  // namespace

ToviBool ArrangeFunctions(SourceDocument& doc, HWND list,
                          const std::vector<int32_t>& order) noexcept {
  try {
    const int32_t count = Arrangeable(doc, list);
    if (count == 0 || order.size() != static_cast<size_t>(count)) {
      return kFalse;
    }
    // Where each function goes; a position named twice or not at all is no
    // order of these functions.
    std::vector<int32_t> place(order.size(), -1);
    for (size_t i = 0; i < order.size(); ++i) {
      const int32_t k = order[i];
      if (k < 0 || k >= count || place[static_cast<size_t>(k)] >= 0) {
        return kFalse;
      }
      place[static_cast<size_t>(k)] = static_cast<int32_t>(i);
    }

    // Everything is made aside first, so that running out of memory
    // changes nothing.
    const std::vector<std::string> shown = EntryTexts(list, count);
    std::vector<std::string> entries;
    entries.reserve(order.size());
    for (int32_t k : order) entries.push_back(shown[static_cast<size_t>(k)]);
    std::vector<SourceLine> lines;
    std::vector<FunctionRecord> records;
    Rearranged(doc, order, lines, records);
    const int32_t selected = SelectedPosition(list);
    std::vector<int32_t> selection;
    if (selected >= 0 && selected < count) {
      selection.push_back(place[static_cast<size_t>(selected)]);
    }

    // Record i must keep describing entry i: the document follows the list
    // only once the list has taken every entry.
    if (!RefillList(list, entries)) return kFalse;
    doc.lines.swap(lines);
    doc.functions.swap(records);
    SelectEntries(list, selection);
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

ToviBool PutFunctionsInOrder(SourceDocument& doc, HWND list,
                             std::vector<int32_t> order) {
  try {
    bool changes = false;
    for (size_t i = 0; i < order.size(); ++i) {
      changes = changes || order[i] != static_cast<int32_t>(i);
    }
    if (!changes) return kFalse;
    MakeRoomForStep(doc.history.undo);
    if (ArrangeFunctions(doc, list, order) != kTrue) return kFalse;
    RecordStep(doc, FunctionOrder{std::move(order)});
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

ToviBool SortFunctionsByName(SourceDocument& doc, HWND list) {
  try {
    const int32_t count = Arrangeable(doc, list);
    if (count < 2) return kFalse;
    const std::vector<std::string_view> names = DeclaredNames(doc);
    if (std::is_sorted(names.begin(), names.end(), NaturalNameLess))
      return kFalse;
    std::vector<int32_t> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      return NaturalNameLess(names[static_cast<size_t>(a)],
                             names[static_cast<size_t>(b)]);
    });
    return PutFunctionsInOrder(doc, list, std::move(order));
  } catch (const std::exception&) {
    return kFalse;
  }
}

bool SortWouldChangeOrder(const SourceDocument& doc, HWND list) {
  try {
    const int32_t count = Arrangeable(doc, list);
    if (count < 2) return false;
    const std::vector<std::string_view> names = DeclaredNames(doc);
    return !std::is_sorted(names.begin(), names.end(), NaturalNameLess);
  } catch (const std::exception&) {
    return false;
  }
}
