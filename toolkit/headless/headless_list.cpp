#include "toolkit/headless/headless_list.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What a handle points to. The handle type belongs to the system on Windows
// and to the backend elsewhere, so a headless list is only ever reached
// through a cast, never through that type's own members.
struct Entries {
  std::vector<std::string> texts;
  int32_t selection = -1;
};

Entries* Of(HWND list) {
  return reinterpret_cast<Entries*>(list);
}

int32_t Count(const Entries& entries) {
  return static_cast<int32_t>(entries.texts.size());
}

bool InRange(const Entries& entries, int32_t position) {
  return position >= 0 && position < Count(entries);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

HeadlessList::HeadlessList() : handle_(reinterpret_cast<HWND>(new Entries)) {}

HeadlessList::~HeadlessList() {
  delete Of(handle_);
}

int32_t ToviListBox_AddItem(HWND list, int32_t position,
                            const std::string& text) {
  Entries* entries = Of(list);
  if (entries == nullptr || position < -1 || position > Count(*entries)) {
    return -1;
  }
  if (position == -1) position = Count(*entries);
  entries->texts.insert(entries->texts.begin() + position, text);
  if (entries->selection >= position) ++entries->selection;
  return position;
}

ToviBool ToviListBox_RemoveItem(HWND list, int32_t position) {
  Entries* entries = Of(list);
  if (entries == nullptr || !InRange(*entries, position)) return kFalse;
  entries->texts.erase(entries->texts.begin() + position);
  if (entries->selection == position) {
    entries->selection = -1;
  } else if (entries->selection > position) {
    --entries->selection;
  }
  return kTrue;
}

void ToviListBox_Clear(HWND list) {
  if (Entries* entries = Of(list)) *entries = Entries();
}

std::string ToviListBox_GetItem(HWND list, int32_t position) {
  const Entries* entries = Of(list);
  if (entries == nullptr || !InRange(*entries, position)) return std::string();
  return entries->texts[static_cast<size_t>(position)];
}

int32_t ToviListBox_GetIndex(HWND list, const std::string& text) {
  const Entries* entries = Of(list);
  if (entries == nullptr) return -1;
  for (int32_t i = 0; i < Count(*entries); ++i) {
    if (SameIgnoringCase(entries->texts[static_cast<size_t>(i)], text)) {
      return i;
    }
  }
  return -1;
}

int32_t ToviListBox_GetCount(HWND list) {
  const Entries* entries = Of(list);
  return entries == nullptr ? 0 : Count(*entries);
}

int32_t ToviListBox_GetSelection(HWND list, std::vector<int32_t>& positions) {
  positions.clear();
  const Entries* entries = Of(list);
  if (entries == nullptr || entries->selection < 0) return 0;
  positions.push_back(entries->selection);
  return 1;
}

void ToviListBox_SetSelection(HWND list,
                              const std::vector<int32_t>& positions) {
  Entries* entries = Of(list);
  if (entries == nullptr) return;
  entries->selection =
      !positions.empty() && InRange(*entries, positions[0]) ? positions[0] : -1;
}

void ToviListBox_SetCaret(HWND /*list*/, int32_t /*position*/) {
  // A list nobody sees has no focus mark to place.
}

ToviBool ToviListBox_MoveItem(HWND list, int32_t from, int32_t to) {
  Entries* entries = Of(list);
  if (entries == nullptr || !InRange(*entries, from) ||
      !InRange(*entries, to)) {
    return kFalse;
  }
  const auto begin = entries->texts.begin();
  if (from < to) {
    std::rotate(begin + from, begin + from + 1, begin + to + 1);
  } else {
    std::rotate(begin + to, begin + from, begin + from + 1);
  }
  entries->selection = to;
  return kTrue;
}
