#include "toolkit/memory/entry_list.h"

namespace tovi::memory {
namespace {

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

const std::string& EntryList::At(int32_t position) const {
  return slots_[order_[static_cast<size_t>(position)]];
}

void EntryList::Insert(int32_t position, const std::string& text) {
  uint32_t slot;
  if (freeSlots_.empty()) {
    slot = static_cast<uint32_t>(slots_.size());
    slots_.push_back(text);
  } else {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
    slots_[slot] = text;
  }
  if (position == Count()) {
    if (lookupCurrent_) firstPosition_.try_emplace(Folded(text), position);
  } else {
    lookupCurrent_ = false;
  }
  order_.insert(order_.begin() + position, slot);
}

void EntryList::Remove(int32_t position) {
  uint32_t slot = order_[static_cast<size_t>(position)];
  slots_[slot] = std::string();
  freeSlots_.push_back(slot);
  order_.erase(order_.begin() + position);
  lookupCurrent_ = false;
}

void EntryList::Clear() {
  *this = EntryList();
}

int32_t EntryList::Find(std::string_view text) const {
  if (!lookupCurrent_) {
    firstPosition_.clear();
    for (int32_t position = 0; position < Count(); ++position) {
      firstPosition_.try_emplace(Folded(At(position)), position);
    }
    lookupCurrent_ = true;
  }
  auto found = firstPosition_.find(Folded(text));
  return found == firstPosition_.end() ? -1 : found->second;
}

std::vector<std::string> EntryList::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(order_.size());
  for (uint32_t slot : order_) texts.push_back(slots_[slot]);
  return texts;
}

}  // namespace tovi::memory
