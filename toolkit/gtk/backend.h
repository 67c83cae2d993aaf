// The GTK 3 backend's own records behind the system handles, shared by its
// files.
//
// A handle points at a record that lives for the whole run (windows are
// hidden when closed, never destroyed), so a handle never dangles; every
// operation looks it up among the live records first, so a null, stale or
// wrong kind of handle is refused the way the system refuses one, never a
// crash.
//
// What this backend implements: windows whose controls sit in a fixed
// container placed by the shared series layout, single-selection lists over
// a tree view, push buttons, dragging list entries with an insertion mark,
// the message boxes, the desktop's own file dialogs, the program icon, and
// the five system calls of toolkit/system.h. Every widget carries the
// accessible name and role a screen reader announces.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/shown_text.h"
#include "toolkit/tovi.h"

enum class RecordKind { kWindow, kList, kButton, kTextWindow };

struct HWND__ {
  RecordKind kind = RecordKind::kWindow;
  HWND parent = nullptr;        // the window a control belongs to
  int32_t id = -1;              // -1 for a window
  GtkWidget* widget = nullptr;  // the window, the button or the tree view

  // Windows.
  GtkWidget* fixed = nullptr;  // the container the controls are placed in
  GtkWidget* dock = nullptr;   // made when a text window first docks in it
  ToviCommandHandler onCommand = nullptr;
  ToviDragHandler onDrag = nullptr;
  ToviKeyHandler onKey = nullptr;
  ToviContextMenuHandler onContextMenu = nullptr;
  bool dialogInterface = false;
  std::vector<HWND> controls;  // in creation order

  // Lists: the entries' own bytes (the view shows them as UTF-8), the model
  // the view draws, and the caret (focus mark) kept apart from the selection.
  GtkWidget* scroller = nullptr;
  GtkListStore* store = nullptr;
  std::vector<std::string> entries;
  bool draggable = false;
  bool quiet = false;  // selection changes made by the program, not the user
  guint selectionNotice = 0;  // the window's notice of a selection, pending
  bool detached = false;      // the view is without its model while it fills
  bool pressed = false;
  bool dragging = false;
  double pressX = 0;
  double pressY = 0;
  int32_t dragMark = -1;  // the entry the insertion mark stands in front of
  // The name a screen reader gives the list; empty: its window's title.
  std::string accessibleName;

  // Text windows: the window that owns it, the text view in it (inside
  // `scroller`), the width asked for, and while it stands docked inside its
  // owner, how much wider the owner was made for it and how far left it
  // moved to stay on its screen.
  HWND owner = nullptr;
  GtkWidget* textView = nullptr;
  int32_t width = 0;
  bool docked = false;
  int grownBy = 0;
  int movedBy = 0;
};

struct HICON__ {
  GdkPixbuf* pixbuf = nullptr;
};

struct HINSTANCE__ {};

namespace tovi::gtk {

// A new record; a control is added to its window's controls and its widget
// (`placed`, which may wrap `widget`) to the window's container.
HWND NewRecord(RecordKind kind, HWND parent, int32_t id, GtkWidget* widget,
               GtkWidget* placed = nullptr);

// The live record behind `handle`, of any kind or of the given kind; null
// when there is none.
HWND Find(HWND handle);
HWND Find(HWND handle, RecordKind kind);

// Every window made, in creation order; text windows are not among them.
const std::vector<HWND>& Windows();

// The top-level GTK window of a handle (a window or one of its controls);
// null when there is none.
GtkWindow* OwnerWindow(HWND handle);

// Has the accessibles of controls that are gone tell a screen reader so,
// rather than nothing; once, before the first control is made.
void AnswerDefunctWhenGone();

// Passes a command of `control` to its window's command handler.
void IssueCommand(HWND control, int32_t code);

// Entry texts, titles and captions as the screen shows them (see
// toolkit/shown_text.h): GTK draws UTF-8 only, and an accented name from an
// old file must read as intended. The entry's own bytes are kept apart, so
// lookups compare those.
inline std::string DisplayText(std::string_view bytes) {
  return tovi::ShownText(bytes);
}

// The entry of a list under a point of the view's own coordinates; -1 for
// none.
int32_t PositionAt(HWND list, double x, double y);
// A point of the screen in the view's own coordinates.
void ViewPoint(HWND list, double rootX, double rootY, double& x, double& y);

// Offers a key pressed in `window` with Ctrl or Alt to its key handler;
// true when the handler used it.
bool OfferKey(HWND window, const GdkEventKey& event);

// Mouse events of a list whose dragging is on; true when the event was used.
bool OnDragPress(HWND list, const GdkEventButton& event);
bool OnDragMotion(HWND list, const GdkEventMotion& event);
bool OnDragRelease(HWND list, const GdkEventButton& event);
// The list lost the pointer to another grab: its drag ends, cancelled.
bool OnDragGrabBroken(HWND list);
// Ends every drag under way, or press that may become one, as cancelled:
// a key or a dialog came between the press and the release.
void CancelDrags();

// Selects `position` in the view (-1: nothing) without telling the window.
void ShowSelection(HWND list, int32_t position);

// A right-click on a list: selects the entry under the pointer, as a click
// does, and tells the window's context menu handler. True when it was one.
bool OnContextClick(HWND list, const GdkEventButton& event);

}  // namespace tovi::gtk
