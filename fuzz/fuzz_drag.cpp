// listdrag's drag handler under any sequence of events: handler calls with
// any status and any position, stale or not, and whole drags as the mouse
// makes them. The list must always hold its 100 labels, each once, and a
// whole drag must put the entry in front of the one it was dropped on.
//
// Events, one after another, each a byte b and two bytes x, y:
//   b even   a whole drag from position x to position y
//   b odd    a handler call with status x and position y
// A position byte v is v - 2 below 0xF8, else an extreme: the most
// negative or most positive value, one above the most negative, or -1.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dragdemo/listdrag.h"
#include "fuzz/fuzz_support.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace mem = tovi::memory;

constexpr int32_t kEntries = 100;

int32_t Position(uint8_t v) {
  switch (v) {
    case 0xF8:
      return INT32_MIN;
    case 0xF9:
      return INT32_MAX;
    case 0xFA:
      return INT32_MIN + 1;
    default:
      return v < 0xF8 ? v - 2 : -1;
  }
}

int32_t Status(uint8_t v) {
  static constexpr int32_t kStatuses[] = {
      kDragBegin, kDragOver, kDragDrop, 3, -1, INT32_MIN, INT32_MAX, kDragDrop};
  return kStatuses[v % std::size(kStatuses)];
}

std::vector<std::string> SortedLabels() {
  std::vector<std::string> labels;
  for (int32_t i = 1; i <= kEntries; ++i) {
    labels.push_back("Item  " + std::to_string(i));
  }
  std::sort(labels.begin(), labels.end());
  return labels;
}

void CheckEveryLabelOnce(HWND list) {
  static const std::vector<std::string> kLabels = SortedLabels();
  std::vector<std::string> entries = mem::Entries(list);
  std::sort(entries.begin(), entries.end());
  Require(entries == kLabels, "the list holds its 100 labels, each once");
}

bool IsEntry(int32_t position) {
  return position >= 0 && position < kEntries;
}

// A drag the mouse makes: begin on `from`, over every entry on the way,
// drop on `to`.
void WholeDrag(HWND list, int32_t from, int32_t to) {
  std::vector<std::string> expected = mem::Entries(list);
  const mem::DragOutcome outcome = mem::Drag(list, from, to);
  if (!IsEntry(from) || (!IsEntry(to) && to != -1)) {
    Require(mem::Entries(list) == expected, "a drag from no entry moves none");
    return;
  }
  Require(outcome.beginResult == kTrue, "a drag can begin on any entry");
  for (size_t i = 0; i < outcome.overResults.size(); ++i) {
    Require(outcome.overResults[i] == (i == 0 ? kFalse : kTrue),
            "a drop is wanted anywhere but on the dragged entry");
  }
  if (to == -1) {
    Require(outcome.dropResult == kTrue, "a drop on no entry answers -1");
    Require(mem::Entries(list) == expected, "a drop on no entry moves none");
    return;
  }
  Require(outcome.dropResult == kFalse, "a drop on an entry answers 0");
  const int32_t landing = from < to ? to - 1 : to;
  const std::string text = expected[static_cast<size_t>(from)];
  expected.erase(expected.begin() + from);
  expected.insert(expected.begin() + landing, text);
  Require(mem::Entries(list) == expected,
          "the entry lands in front of the one it was dropped on");
  Require(mem::Caret(list) == landing, "the focus mark follows the entry");
}

void Play(const uint8_t* data, size_t size) {
  HWND list = GetDlgItem(mem::LastWindow(), kDragList);
  CheckEveryLabelOnce(list);
  for (size_t i = 0; i + 2 < size; i += 3) {
    if (data[i] % 2 == 0) {
      WholeDrag(list, Position(data[i + 1]), Position(data[i + 2]));
    } else {
      OnDrag(kDragList, Status(data[i + 1]), Position(data[i + 2]), 0, 0);
    }
    CheckEveryLabelOnce(list);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mem::Reset();
  mem::SetEventLoop([&] { Play(data, size); });
  Require(RunListdrag() == 0, "listdrag ends normally");
  return 0;
}
