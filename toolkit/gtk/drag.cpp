// Dragging list entries: a press on an entry that moves a few pixels begins
// a drag; while it runs, the window's drag handler hears where the pointer
// is and whether a drop there is wanted, which the insertion mark shows;
// releasing the button drops the entry. A screen reader hears where the
// entry would go through the list's description.
//
// A key, a dialog or another grab of the pointer ends the drag, cancelled
// (see CancelDrags); the release that follows is then no drop. Without
// that, a dialog that took the release would leave the list dragging, and
// the next plain click would drop.
#include <cmath>

#include "toolkit/gtk/backend.h"
#include "toolkit/handler_call.h"

namespace tovi::gtk {
namespace {

int32_t CallHandler(HWND list, int32_t status, int32_t item, double x,
                    double y) {
  HWND window = list->parent;
  if (window == nullptr || window->onDrag == nullptr) return 0;
  return tovi::CallHandler(window->onDrag, list->id, status, item,
                           static_cast<int32_t>(x), static_cast<int32_t>(y));
}

void SetCursor(HWND list, const char* name) {
  GdkWindow* window = gtk_widget_get_window(list->widget);
  if (window == nullptr) return;
  GdkCursor* cursor =
      name == nullptr
          ? nullptr
          : gdk_cursor_new_from_name(gdk_window_get_display(window), name);
  gdk_window_set_cursor(window, cursor);
  if (cursor != nullptr) g_object_unref(cursor);
}

// The mark is the view's own drop line across the top of the entry the
// dragged one would be put in front of, or below the last entry for a drop
// at the end (`mark` is then the number of entries).
void ShowMark(HWND list, int32_t mark) {
  if (mark == list->dragMark) return;
  list->dragMark = mark;
  GtkTreeView* view = GTK_TREE_VIEW(list->widget);
  AtkObject* accessible = gtk_widget_get_accessible(list->widget);
  const auto count = static_cast<int32_t>(list->entries.size());
  if (mark < 0 || mark > count || count == 0) {
    gtk_tree_view_set_drag_dest_row(view, nullptr, GTK_TREE_VIEW_DROP_BEFORE);
    atk_object_set_description(accessible, "");
    return;
  }
  const bool atEnd = mark == count;
  GtkTreePath* path =
      gtk_tree_path_new_from_indices(atEnd ? mark - 1 : mark, -1);
  gtk_tree_view_set_drag_dest_row(
      view, path, atEnd ? GTK_TREE_VIEW_DROP_AFTER : GTK_TREE_VIEW_DROP_BEFORE);
  gtk_tree_path_free(path);
  const std::string where =
      atEnd ? std::string("Drop at the end")
            : "Drop in front of " +
                  DisplayText(list->entries[static_cast<size_t>(mark)]);
  atk_object_set_description(accessible, where.c_str());
}

// Whether a point of the view is inside it below its last entry.
bool BelowLastEntry(HWND list, double x, double y) {
  const auto count = static_cast<int32_t>(list->entries.size());
  GtkAllocation area;
  gtk_widget_get_allocation(list->widget, &area);
  if (count == 0 || x < 0 || y < 0 || x >= area.width || y >= area.height) {
    return false;
  }
  GtkTreeView* view = GTK_TREE_VIEW(list->widget);
  GtkTreePath* last = gtk_tree_path_new_from_indices(count - 1, -1);
  GdkRectangle row;
  gtk_tree_view_get_background_area(view, last, nullptr, &row);
  gtk_tree_path_free(last);
  int binX = 0;
  int binY = 0;
  gtk_tree_view_convert_widget_to_bin_window_coords(
      view, static_cast<int>(x), static_cast<int>(y), &binX, &binY);
  return binY >= row.y + row.height;
}

// The entry under the pointer and the status to report it with: below the
// last entry, the number of entries and the status for the end.
int32_t PointedEntry(HWND list, double x, double y, bool drop,
                     int32_t& status) {
  const int32_t item = PositionAt(list, x, y);
  if (item < 0 && BelowLastEntry(list, x, y)) {
    status = drop ? kDragDropEnd : kDragOverEnd;
    return static_cast<int32_t>(list->entries.size());
  }
  status = drop ? kDragDrop : kDragOver;
  return item;
}

// Scrolls by one entry while the pointer is above or below the view, so a
// drag reaches entries out of view.
void ScrollTowardPointer(HWND list, double y) {
  GtkAdjustment* adjustment =
      gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(list->widget));
  if (adjustment == nullptr) return;
  const double step = gtk_adjustment_get_step_increment(adjustment);
  const int height = gtk_widget_get_allocated_height(list->widget);
  const double value = gtk_adjustment_get_value(adjustment);
  if (y < 0) {
    gtk_adjustment_set_value(adjustment, value - step);
  } else if (y >= height) {
    gtk_adjustment_set_value(adjustment, value + step);
  }
}

void Over(HWND list, double x, double y) {
  ScrollTowardPointer(list, y);
  int32_t status = kDragOver;
  const int32_t item = PointedEntry(list, x, y, false, status);
  const bool wanted = CallHandler(list, status, item, x, y) != 0;
  SetCursor(list, wanted ? "move" : "not-allowed");
  ShowMark(list, wanted ? item : -1);
}

void End(HWND list) {
  list->dragging = false;
  list->pressed = false;
  ShowMark(list, -1);
  SetCursor(list, nullptr);
}

// How far the pointer moves, in either direction, before a press becomes a
// drag: the desktop's own setting.
bool MovedFarEnough(HWND list, double x, double y) {
  gint threshold = 8;
  g_object_get(gtk_widget_get_settings(list->widget), "gtk-dnd-drag-threshold",
               &threshold, nullptr);
  return std::abs(x - list->pressX) >= threshold ||
         std::abs(y - list->pressY) >= threshold;
}

// Begins a drag of the entry pressed, wherever the pointer is now, unless
// the handler refuses it.
bool Begin(HWND list, double x, double y) {
  list->pressed = false;
  const int32_t item = PositionAt(list, list->pressX, list->pressY);
  if (CallHandler(list, kDragBegin, item, list->pressX, list->pressY) == 0) {
    return false;
  }
  list->dragging = true;
  Over(list, x, y);
  return true;
}

// Ends a drag of `list`, or a press that may still become one.
void Cancel(HWND list) {
  if (!list->dragging && !list->pressed) return;
  const bool dragging = list->dragging;
  End(list);
  if (dragging) CallHandler(list, kDragCancel, -1, 0, 0);
}

}  // namespace

void CancelDrags() {
  for (HWND window : Windows()) {
    for (HWND control : window->controls) {
      if (control->kind == RecordKind::kList) Cancel(control);
    }
  }
}

bool OnDragGrabBroken(HWND list) {
  Cancel(list);
  return false;
}

void ViewPoint(HWND list, double rootX, double rootY, double& x, double& y) {
  int originX = 0;
  int originY = 0;
  if (GdkWindow* window = gtk_widget_get_window(list->widget)) {
    gdk_window_get_origin(window, &originX, &originY);
  }
  x = rootX - originX;
  y = rootY - originY;
}

bool OnDragPress(HWND list, const GdkEventButton& event) {
  double x = 0;
  double y = 0;
  ViewPoint(list, event.x_root, event.y_root, x, y);
  // The press still selects the entry; a drag may follow.
  list->pressed = event.type == GDK_BUTTON_PRESS &&
                  event.button == GDK_BUTTON_PRIMARY &&
                  PositionAt(list, x, y) >= 0;
  list->pressX = x;
  list->pressY = y;
  return false;
}

bool OnDragMotion(HWND list, const GdkEventMotion& event) {
  double x = 0;
  double y = 0;
  ViewPoint(list, event.x_root, event.y_root, x, y);
  if (list->dragging) {
    Over(list, x, y);
    return true;
  }
  if (!list->pressed || (event.state & GDK_BUTTON1_MASK) == 0) return false;
  // Small moves are a shaky click, not a drag.
  return !MovedFarEnough(list, x, y) || Begin(list, x, y);
}

bool OnDragRelease(HWND list, const GdkEventButton& event) {
  if (event.button != GDK_BUTTON_PRIMARY) return false;
  double x = 0;
  double y = 0;
  ViewPoint(list, event.x_root, event.y_root, x, y);
  // Motion can be folded into the release: a quick flick arrives as a
  // press and a release far apart, which is a drag too.
  if (!list->dragging && list->pressed && MovedFarEnough(list, x, y)) {
    Begin(list, x, y);
  }
  list->pressed = false;
  if (!list->dragging) return false;
  int32_t status = kDragDrop;
  const int32_t item = PointedEntry(list, x, y, true, status);
  End(list);
  CallHandler(list, status, item, x, y);
  // The view still ends its own press.
  return false;
}

}  // namespace tovi::gtk

void ToviListBox_EnableDragging(HWND list) {
  if (HWND found = tovi::gtk::Find(list, RecordKind::kList)) {
    found->draggable = true;
  }
}
