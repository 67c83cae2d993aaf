// Lists: entries in insertion order, one selection and a caret (the focus
// mark), which follow their entries when entries before them come or go, as
// in a native single-selection list.
#include <new>

#include "toolkit/handler_call.h"
#include "toolkit/memory/backend.h"

namespace {

using tovi::memory::Find;
using tovi::memory::RecordKind;

HWND FindList(HWND list) {
  return Find(list, RecordKind::kList);
}

int32_t Count(HWND list) {
  return list->entries.Count();
}

bool InRange(HWND list, int32_t position) {
  return position >= 0 && position < Count(list);
}

// Where a mark at `mark` goes when the entry at `position` is inserted.
int32_t AfterInsert(int32_t mark, int32_t position) {
  return mark >= position ? mark + 1 : mark;
}

// Where a mark goes when the entry at `position` is removed.
int32_t AfterRemove(int32_t mark, int32_t position) {
  if (mark == position) return -1;
  return mark > position ? mark - 1 : mark;
}

}  // namespace

HWND ToviAddListBox(HWND parent, int32_t /*style*/, int32_t /*exStyle*/,
                    int32_t id) {
  HWND window = Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  return tovi::memory::NewRecord(RecordKind::kList, window, id, std::string());
}

void ToviListBox_EnableDragging(HWND list) {
  if (HWND found = FindList(list)) found->dragging = true;
}

int32_t ToviListBox_AddItem(HWND list, int32_t position,
                            const std::string& text) {
  HWND found = FindList(list);
  if (found == nullptr || position < -1 || position > Count(found)) return -1;
  if (position == -1) position = Count(found);
  if (found->entriesBeforeFailure >= 0 && found->entriesBeforeFailure-- == 0) {
    if (found->entryFailure == tovi::memory::EntryFailure::kThrow) {
      throw std::bad_alloc();
    }
    return -1;
  }
  found->entries.Insert(position, text);
  found->selection = AfterInsert(found->selection, position);
  found->caret = AfterInsert(found->caret, position);
  return position;
}

ToviBool ToviListBox_RemoveItem(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found == nullptr || !InRange(found, position)) return kFalse;
  found->entries.Remove(position);
  found->selection = AfterRemove(found->selection, position);
  found->caret = AfterRemove(found->caret, position);
  return kTrue;
}

void ToviListBox_Clear(HWND list) {
  HWND found = FindList(list);
  if (found == nullptr) return;
  found->entries.Clear();
  found->selection = -1;
  found->caret = -1;
}

std::string ToviListBox_GetItem(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found == nullptr || !InRange(found, position)) return std::string();
  return found->entries.At(position);
}

int32_t ToviListBox_GetIndex(HWND list, const std::string& text) {
  HWND found = FindList(list);
  return found == nullptr ? -1 : found->entries.Find(text);
}

int32_t ToviListBox_GetCount(HWND list) {
  HWND found = FindList(list);
  return found == nullptr ? 0 : Count(found);
}

int32_t ToviListBox_GetSelection(HWND list, std::vector<int32_t>& positions) {
  positions.clear();
  HWND found = FindList(list);
  if (found == nullptr || found->selection < 0) return 0;
  positions.push_back(found->selection);
  return 1;
}

void ToviListBox_SetSelection(HWND list,
                              const std::vector<int32_t>& positions) {
  HWND found = FindList(list);
  if (found == nullptr) return;
  if (positions.empty() || !InRange(found, positions.front())) {
    found->selection = -1;
    return;
  }
  // As in a native single-selection list, the selected entry also takes the
  // focus mark.
  found->selection = positions.front();
  found->caret = positions.front();
}

void ToviListBox_SetCaret(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found != nullptr && InRange(found, position)) found->caret = position;
}

// A native list has no move of its own: the entry is taken out and put in
// again, and that insertion may be refused as AddItem's may.
ToviBool ToviListBox_MoveItem(HWND list, int32_t from, int32_t to) {
  HWND found = FindList(list);
  if (found == nullptr || !InRange(found, from) || !InRange(found, to)) {
    return kFalse;
  }
  const std::string text = found->entries.At(from);
  if (found->entriesBeforeFailure >= 0 && found->entriesBeforeFailure-- == 0) {
    if (found->entryFailure == tovi::memory::EntryFailure::kThrow) {
      throw std::bad_alloc();
    }
    return kFalse;
  }
  found->entries.Remove(from);
  try {
    found->entries.Insert(to, text);
  } catch (...) {
    // The place it was taken from has just been freed.
    found->entries.Insert(from, text);
    throw;
  }
  found->selection = to;
  found->caret = to;
  return kTrue;
}

void ToviSetAccessibleName(HWND control, const std::string& name) {
  if (HWND found = Find(control)) found->accessibleName = name;
}

namespace tovi::memory {

void Select(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found == nullptr || !found->enabled) return;
  ToviListBox_SetSelection(found, {position});
  if (found->parent->onCommand != nullptr) {
    CallHandler(found->parent->onCommand, found->id, 1, 0);
  }
}

std::vector<std::string> Entries(HWND list) {
  HWND found = FindList(list);
  return found == nullptr ? std::vector<std::string>() : found->entries.Texts();
}

int32_t Selection(HWND list) {
  HWND found = FindList(list);
  return found == nullptr ? -1 : found->selection;
}

int32_t Caret(HWND list) {
  HWND found = FindList(list);
  return found == nullptr ? -1 : found->caret;
}

bool DraggingEnabled(HWND list) {
  HWND found = FindList(list);
  return found != nullptr && found->dragging;
}

}  // namespace tovi::memory

namespace tovi::memory {

void FailEntry(HWND list, int32_t accepted, EntryFailure how) {
  if (HWND found = FindList(list)) {
    found->entriesBeforeFailure = accepted;
    found->entryFailure = how;
  }
}

}  // namespace tovi::memory
