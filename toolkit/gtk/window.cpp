// Top-level windows: creation, layout on every resize, handlers and display.
#include <algorithm>
#include <cerrno>

#include "toolkit/gtk/backend.h"
#include "toolkit/series_layout.h"

namespace tovi::gtk {
namespace {

// Every control of a window is allocated the rectangle the shared layout
// computes for the container's area. The container asks for no more than
// its largest control, so the window can still be made smaller than the
// layout's last size.
void PlaceControls(GtkWidget* fixed, GdkRectangle* area) {
  gtk_widget_set_allocation(fixed, area);
  auto* window = static_cast<HWND>(g_object_get_data(G_OBJECT(fixed), "tovi"));
  if (window == nullptr) return;
  for (const Placement& placement :
       LayoutWindow(window, area->width, area->height)) {
    HWND control = Find(placement.control);
    if (control == nullptr || control->parent != window) continue;
    GtkWidget* placed =
        control->scroller != nullptr ? control->scroller : control->widget;
    if (gtk_widget_get_parent(placed) != fixed) continue;
    const Rect& r = placement.bounds;
    // GTK draws no control below its minimum size; a window shrunk that far
    // shows the control cut off at the window's edge instead.
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(placed, &minimum, nullptr);
    GtkAllocation bounds{area->x + r.x, area->y + r.y,
                         std::max(r.width, minimum.width),
                         std::max(r.height, minimum.height)};
    gtk_widget_size_allocate(placed, &bounds);
  }
}

// Closing the window hides it, which ends the event loop; the widgets live
// on, so every handle the program still holds stays valid.
gboolean OnDelete(GtkWidget* widget, GdkEvent*, gpointer) {
  gtk_widget_hide(widget);
  return TRUE;
}

// Without the dialog interface the keyboard focus stays where it is: Tab and
// the arrow keys do not walk between the controls.
gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer data) {
  auto* window = static_cast<HWND>(data);
  // Holding a modifier down is part of a drag's gesture; any other key
  // ends the drag.
  if (event->is_modifier == 0) CancelDrags();
  if (OfferKey(window, *event)) return TRUE;
  if (window->dialogInterface) return FALSE;
  switch (event->keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab:
      return TRUE;
    case GDK_KEY_Left:
    case GDK_KEY_Right:
    case GDK_KEY_Up:
    case GDK_KEY_Down:
      // Arrows still work inside the focused control; only their move to
      // the next control is held back.
      gtk_window_propagate_key_event(GTK_WINDOW(widget), event);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace
}  // namespace tovi::gtk

// The container: GTK's fixed one, placed by the layout instead of by the
// positions given to it.
struct ToviFixed {
  GtkFixed parent;
};
struct ToviFixedClass {
  GtkFixedClass parent;
};
G_DEFINE_TYPE(ToviFixed, tovi_fixed, GTK_TYPE_FIXED)

static void tovi_fixed_init(ToviFixed*) {}

static void tovi_fixed_class_init(ToviFixedClass* type) {
  GTK_WIDGET_CLASS(type)->size_allocate = tovi::gtk::PlaceControls;
}

using tovi::gtk::Find;

HWND ToviNewWindow(HWND /*parent*/, const std::string& title, int32_t /*x*/,
                   int32_t /*y*/, int32_t width, int32_t height,
                   int32_t /*style*/, int32_t /*exStyle*/, HICON icon,
                   int32_t /*reserved*/) {
  GtkWidget* widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  // The records hold the widgets for the whole run.
  g_object_ref_sink(widget);
  GtkWindow* window = GTK_WINDOW(widget);
  const std::string shown = tovi::gtk::DisplayText(title);
  gtk_window_set_title(window, shown.c_str());
  gtk_window_set_default_size(window, width > 0 ? width : 1,
                              height > 0 ? height : 1);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  if (icon != nullptr && icon->pixbuf != nullptr) {
    gtk_window_set_icon(window, icon->pixbuf);
  }
  GtkWidget* fixed = GTK_WIDGET(g_object_new(tovi_fixed_get_type(), nullptr));
  gtk_container_add(GTK_CONTAINER(widget), fixed);
  HWND record =
      tovi::gtk::NewRecord(RecordKind::kWindow, nullptr, -1, widget, nullptr);
  record->fixed = fixed;
  g_object_set_data(G_OBJECT(fixed), "tovi", record);
  g_signal_connect(widget, "delete-event", G_CALLBACK(tovi::gtk::OnDelete),
                   nullptr);
  g_signal_connect(widget, "key-press-event", G_CALLBACK(tovi::gtk::OnKey),
                   record);
  tovi::RegisterLayoutWindow(record);
  return record;
}

void ToviRegOnCommand(HWND window, ToviCommandHandler handler) {
  if (HWND found = Find(window, RecordKind::kWindow))
    found->onCommand = handler;
}

void ToviRegOnDrag(HWND window, ToviDragHandler handler) {
  if (HWND found = Find(window, RecordKind::kWindow)) found->onDrag = handler;
}

void ToviEnableDialogInterface(HWND window, ToviBool enable) {
  if (HWND found = Find(window, RecordKind::kWindow)) {
    found->dialogInterface = enable != kFalse;
  }
}

void ToviDisplay(HWND window) {
  HWND found = Find(window, RecordKind::kWindow);
  if (found == nullptr) return;
  // Tab walks the controls in the order they were made, as on Windows.
  GList* chain = nullptr;
  for (HWND control : found->controls) {
    GtkWidget* placed =
        control->scroller != nullptr ? control->scroller : control->widget;
    chain = g_list_append(chain, placed);
  }
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(found->fixed), chain);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(chain);
  gtk_widget_show_all(found->widget);
  // The first control takes the focus, as in a dialog.
  if (!found->controls.empty()) {
    gtk_widget_grab_focus(found->controls.front()->widget);
  }
}
