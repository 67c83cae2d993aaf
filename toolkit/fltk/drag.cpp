// Dragging list entries: a press on an entry that moves a few pixels
// begins a drag; while it runs, the window's drag handler hears where the
// pointer is and whether a drop there is wanted, which the insertion mark
// shows; releasing the button drops the entry.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <cstdlib>

#include "toolkit/fltk/backend.h"
#include "toolkit/handler_call.h"

namespace tovi::fltk {
namespace {

// How far the pointer moves, in either direction, before a press becomes a
// drag, as on a native desktop.
constexpr int kDragThreshold = 4;

int32_t CallHandler(ListBox& list, int32_t status, int32_t item) {
  HWND window = list.record->parent;
  if (window == nullptr || window->onDrag == nullptr) return 0;
  return tovi::CallHandler(window->onDrag, list.record->id, status, item,
                           Fl::event_x() - list.x(), Fl::event_y() - list.y());
}

void SetCursor(ListBox& list, Fl_Cursor cursor) {
  if (Fl_Window* window = list.window()) window->cursor(cursor);
}

// Scrolls by one entry while the pointer is above or below the entries, so
// a drag reaches entries out of view.
void ScrollTowardPointer(ListBox& list) {
  int X = 0, Y = 0, W = 0, H = 0;
  list.EntryArea(X, Y, W, H);
  if (Fl::event_y() < Y && list.topline() > 1) {
    list.topline(list.topline() - 1);
  } else if (Fl::event_y() >= Y + H && list.size() > 0) {
    list.topline(list.topline() + 1);
  }
}

// Whether the pointer is inside the list below its last entry.
bool BelowLastEntry(ListBox& list) {
  int X = 0, Y = 0, W = 0, H = 0;
  list.EntryArea(X, Y, W, H);
  const int x = Fl::event_x();
  const int y = Fl::event_y();
  return list.Count() > 0 && x >= X && x < X + W && y < Y + H &&
         y >= list.EntryTop(list.Count());
}

// The pointer's entry and the status to report it with: below the last
// entry, the number of entries and the status for the end.
int32_t PointedEntry(ListBox& list, int32_t& status, bool drop) {
  const int32_t item = list.PositionAt(Fl::event_x(), Fl::event_y());
  if (item < 0 && BelowLastEntry(list)) {
    status = drop ? kDragDropEnd : kDragOverEnd;
    return list.Count();
  }
  status = drop ? kDragDrop : kDragOver;
  return item;
}

void Over(ListBox& list) {
  ScrollTowardPointer(list);
  int32_t status = kDragOver;
  const int32_t item = PointedEntry(list, status, false);
  const bool wanted = CallHandler(list, status, item) != 0;
  const int32_t mark = wanted ? item : -1;
  SetCursor(list, wanted ? FL_CURSOR_MOVE : FL_CURSOR_DEFAULT);
  if (mark != list.dragMark) {
    list.dragMark = mark;
    list.redraw();
  }
}

void End(ListBox& list) {
  list.dragging = false;
  list.pressed = false;
  list.dragMark = -1;
  SetCursor(list, FL_CURSOR_DEFAULT);
  list.redraw();
}

bool MovedFarEnough(const ListBox& list) {
  return std::abs(Fl::event_x() - list.pressX) >= kDragThreshold ||
         std::abs(Fl::event_y() - list.pressY) >= kDragThreshold;
}

// Begins a drag of the entry pressed, wherever the pointer is now, unless
// the handler refuses it.
bool Begin(ListBox& list) {
  list.pressed = false;
  if (CallHandler(list, kDragBegin,
                  list.PositionAt(list.pressX, list.pressY)) == 0) {
    return false;
  }
  list.dragging = true;
  Over(list);
  return true;
}

}  // namespace

bool HandleDragEvent(ListBox& list, int event) {
  switch (event) {
    case FL_PUSH:
      // The press still selects the entry; a drag may follow.
      list.pressed = Fl::event_button() == FL_LEFT_MOUSE &&
                     list.PositionAt(Fl::event_x(), Fl::event_y()) >= 0;
      list.pressX = Fl::event_x();
      list.pressY = Fl::event_y();
      return false;
    case FL_DRAG:
      if (list.dragging) {
        Over(list);
        return true;
      }
      if (!list.pressed) return false;
      // Small moves are a shaky click, not a drag.
      return !MovedFarEnough(list) || Begin(list);
    case FL_RELEASE: {
      // FLTK folds pointer motion into the next event, so a quick flick can
      // arrive as a press and a release far apart with no motion between:
      // that is a drag too.
      if (!list.dragging && list.pressed && MovedFarEnough(list)) Begin(list);
      list.pressed = false;
      if (!list.dragging) return false;
      int32_t status = kDragDrop;
      const int32_t item = PointedEntry(list, status, true);
      End(list);
      CallHandler(list, status, item);
      return true;
    }
    default:
      return false;
  }
}

void DrawInsertionMark(ListBox& list) {
  if (!list.dragging || list.dragMark < 0) return;
  int X = 0, Y = 0, W = 0, H = 0;
  list.EntryArea(X, Y, W, H);
  const int y = list.EntryTop(list.dragMark);
  fl_push_clip(X, Y, W, H);
  fl_color(FL_FOREGROUND_COLOR);
  fl_rectf(X, y - 1, W, 2);
  // Small arrowheads at both ends, so the mark reads as "in between".
  fl_polygon(X, y - 4, X + 4, y, X, y + 4);
  fl_polygon(X + W - 1, y - 4, X + W - 5, y, X + W - 1, y + 4);
  fl_pop_clip();
}

}  // namespace tovi::fltk

void ToviListBox_EnableDragging(HWND list) {
  if (HWND found = tovi::fltk::Find(list, RecordKind::kList)) {
    static_cast<tovi::fltk::ListBox*>(found->widget)->draggable = true;
  }
}
