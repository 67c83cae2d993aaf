// The function list's half of every move, made so that a list short of
// memory never ends up with entries that describe other functions than their
// records.
#include <exception>

#include "document/rearrange.h"

namespace {

// Whether the list took `text` at `position`; an entry it put anywhere else
// is taken out again.
bool Insert(HWND list, int32_t position, const std::string& text) noexcept {
  try {
    const int32_t put = ToviListBox_AddItem(list, position, text);
    if (put == position) return true;
    if (put >= 0) ToviListBox_RemoveItem(list, put);
  } catch (const std::exception&) {
    // The list is as before the insert: nothing was added.
  }
  return false;
}

// Fills an empty list with `entries`; false at the first one refused.
bool Fill(HWND list, const std::vector<std::string>& entries) noexcept {
  for (size_t k = 0; k < entries.size(); ++k) {
    if (!Insert(list, static_cast<int32_t>(k), entries[k])) return false;
  }
  return true;
}

}  // namespace

bool MoveListEntry(HWND list, int32_t from, int32_t to) noexcept {
  // The list moves the entry itself, so a screen reader hears the function
  // that moved at its new place rather than the neighbour it passed.
  const int32_t count = ToviListBox_GetCount(list);
  try {
    if (ToviListBox_MoveItem(list, from, to) == kTrue) return true;
  } catch (const std::exception&) {
    // Below: a list that lost the entry on the way is no longer trusted.
  }
  if (ToviListBox_GetCount(list) != count) AbandonList(list);
  return false;
}

bool RefillList(HWND list, const std::vector<std::string>& entries) noexcept {
  try {
    const int32_t count = ToviListBox_GetCount(list);
    std::vector<std::string> shown;
    shown.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int32_t i = 0; i < count; ++i) {
      shown.push_back(ToviListBox_GetItem(list, i));
    }
    std::vector<int32_t> selected;
    ToviListBox_GetSelection(list, selected);
    ToviListBox_Clear(list);
    if (Fill(list, entries)) return true;
    ToviListBox_Clear(list);
    if (Fill(list, shown)) {
      SelectEntries(list, selected);
    } else {
      AbandonList(list);
    }
  } catch (const std::exception&) {
    // Only the copies can fail, before anything changed.
  }
  return false;
}

void AbandonList(HWND list) noexcept {
  try {
    ToviListBox_Clear(list);
  } catch (const std::exception&) {
    // Emptying frees memory; there is nothing more to try.
  }
}

int32_t SelectedPosition(HWND list) noexcept {
  try {
    std::vector<int32_t> positions;
    if (ToviListBox_GetSelection(list, positions) < 1 || positions.empty()) {
      return -1;
    }
    return positions.front();
  } catch (const std::exception&) {
    return -1;
  }
}

void SelectEntries(HWND list, const std::vector<int32_t>& positions) noexcept {
  try {
    ToviListBox_SetSelection(list, positions);
  } catch (const std::exception&) {
    // Entries and records still match; only the highlight is missing.
  }
}
