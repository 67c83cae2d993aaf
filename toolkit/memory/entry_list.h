// A list's entries. Texts stay in slots that never move; inserting or
// removing shifts only the 4-byte slot numbers, so lists of tens of
// thousands of entries stay quick even in unoptimised and sanitizer builds.
// Lookups by text use a table of case-folded texts, built when first needed
// and kept up to date while entries are only appended (as a load does).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tovi::memory {

class EntryList {
 public:
  int32_t Count() const { return static_cast<int32_t>(order_.size()); }
  // `position` must be in 0 .. Count() - 1 (At, Remove) or 0 .. Count()
  // (Insert); the list operations check it first.
  const std::string& At(int32_t position) const;
  void Insert(int32_t position, const std::string& text);
  void Remove(int32_t position);
  void Clear();
  // The first position whose text equals `text` ignoring ASCII letter case;
  // -1 if none.
  int32_t Find(std::string_view text) const;
  std::vector<std::string> Texts() const;

 private:
  std::vector<std::string> slots_;
  std::vector<uint32_t> freeSlots_;
  std::vector<uint32_t> order_;  // the slot of each position
  mutable std::unordered_map<std::string, int32_t> firstPosition_;
  mutable bool lookupCurrent_ = false;
};

}  // namespace tovi::memory
