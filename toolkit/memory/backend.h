// The in-memory backend's own records behind the system handles, shared by
// its files. Windows, lists and buttons are one record type told apart by
// `kind`; a record lives until tovi::memory::Reset, so a handle stays valid
// until then. Every operation first looks its handle up among the live
// records, so a null, stale or wrong kind of handle is refused the way the
// system refuses one (a null, -1, kFalse or empty result), never a crash.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "toolkit/memory/entry_list.h"
#include "toolkit/memory/memory_driver.h"
#include "toolkit/tovi.h"

namespace tovi::memory {
enum class RecordKind { kWindow, kList, kButton, kTextWindow };
}  // namespace tovi::memory

struct HWND__ {
  tovi::memory::RecordKind kind = tovi::memory::RecordKind::kWindow;
  HWND parent = nullptr;  // the window a control belongs to
  int32_t id = -1;        // -1 for a window
  std::string text;       // a window's title or a button's caption
  std::string toolTip;
  std::string accessibleName;  // empty: the caption or title names it
  bool enabled = true;

  // Windows.
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  std::string iconName;  // resource name of its icon, empty for none
  bool displayed = false;
  bool dialogInterface = false;
  ToviCommandHandler onCommand = nullptr;
  ToviDragHandler onDrag = nullptr;
  ToviKeyHandler onKey = nullptr;
  ToviContextMenuHandler onContextMenu = nullptr;
  std::vector<HWND> controls;  // in creation order

  // Text windows: `parent` is the owner, `text` the title.
  std::string content;
  std::vector<ToviTextSpan> spans;

  // Lists. Selection and caret are positions, -1 for none.
  tovi::memory::EntryList entries;
  int32_t selection = -1;
  int32_t caret = -1;
  bool dragging = false;
  // The position pressed on while a drag holds the button (PressOn); -1
  // while none does.
  int32_t heldFrom = -1;
  // Set by FailEntry: how many more entries are taken before one fails, and
  // how; -1 while none is to fail.
  int32_t entriesBeforeFailure = -1;
  tovi::memory::EntryFailure entryFailure = tovi::memory::EntryFailure::kRefuse;
};

struct HICON__ {
  std::string name;
};

struct HINSTANCE__ {};

namespace tovi::memory {

struct Backend {
  std::vector<std::unique_ptr<HWND__>> records;
  std::unordered_set<HWND> live;
  std::vector<std::unique_ptr<HICON__>> icons;
  HWND lastWindow = nullptr;
  std::function<void()> eventLoop;
  std::deque<std::string> dialogAnswers;
  std::vector<DialogRecord> dialogs;
  std::vector<MessageBoxRecord> messageBoxes;
  struct QueuedAnswer {
    std::string button;
    std::function<void()> whileAsked;
  };
  std::deque<QueuedAnswer> questionAnswers;
  std::vector<QuestionRecord> questions;
  // The context menu up, if any; one at a time, as on the real systems.
  bool menuOpen = false;
  MenuRecord menu;
};

Backend& State();

// A new record; a control is added to its window's controls.
HWND NewRecord(RecordKind kind, HWND parent, int32_t id, std::string text);

// The live record behind `handle`, of any kind or of the given kind; null
// when there is none.
HWND Find(HWND handle);
HWND Find(HWND handle, RecordKind kind);

// The resource name of an icon LoadIconA gave; empty for null or a stale one.
std::string IconResourceName(HICON icon);

// Ends a drag that holds the button, as cancelled: a key or a dialog came
// between its press and its release. The release then drops nothing.
void CancelHeldDrag();

}  // namespace tovi::memory
