// Context menus: GTK's own popup menu, each item with its shortcut drawn
// by an accelerator label, and the right-click that asks for one.
#include "toolkit/gtk/backend.h"
#include "toolkit/handler_call.h"

namespace tovi::gtk {
namespace {

// The shortcut a caption shows after its TAB ("Ctrl+Z", "Alt+Home"), as
// GTK's key and modifiers; key 0 when there is none it can read.
void ParseShortcut(std::string_view text, guint& key, GdkModifierType& mods) {
  key = 0;
  mods = static_cast<GdkModifierType>(0);
  while (!text.empty()) {
    const size_t plus = text.find('+');
    const std::string part(text.substr(0, plus));
    if (plus == std::string_view::npos) {
      key = gdk_keyval_from_name(part.c_str());
      if (key == GDK_KEY_VoidSymbol) key = 0;
      return;
    }
    if (part == "Ctrl")
      mods = static_cast<GdkModifierType>(mods | GDK_CONTROL_MASK);
    if (part == "Shift")
      mods = static_cast<GdkModifierType>(mods | GDK_SHIFT_MASK);
    if (part == "Alt")
      mods = static_cast<GdkModifierType>(mods | GDK_MOD1_MASK);
    text.remove_prefix(plus + 1);
  }
}

GtkWidget* MenuItem(const ToviMenuItem& item) {
  const std::string_view text = item.text;
  const size_t tab = text.find('\t');
  const std::string caption = DisplayText(text.substr(0, tab));
  GtkWidget* widget = gtk_menu_item_new_with_label(caption.c_str());
  if (tab != std::string_view::npos) {
    guint key = 0;
    GdkModifierType mods;
    ParseShortcut(text.substr(tab + 1), key, mods);
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(widget));
    if (key != 0 && GTK_IS_ACCEL_LABEL(label)) {
      gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), key, mods);
    }
    // Said after the caption by a screen reader, as the shortcut is shown.
    const std::string shortcut = DisplayText(text.substr(tab + 1));
    atk_object_set_description(gtk_widget_get_accessible(widget),
                               shortcut.c_str());
  }
  gtk_widget_set_sensitive(widget, item.enabled != kFalse);
  g_object_set_data(G_OBJECT(widget), "tovi-id", GINT_TO_POINTER(item.id));
  return widget;
}

void OnActivate(GtkMenuItem* item, gpointer data) {
  auto* window = static_cast<HWND>(data);
  if (window->onCommand == nullptr) return;
  const int32_t id =
      GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), "tovi-id"));
  CallHandler(window->onCommand, id, 0, 0);
}

// A menu closed, with or without a choice, is done with; it goes once the
// item's activation, which follows, has run.
void OnDeactivate(GtkMenuShell* menu, gpointer) {
  g_idle_add(
      [](gpointer data) {
        gtk_widget_destroy(static_cast<GtkWidget*>(data));
        return G_SOURCE_REMOVE;
      },
      menu);
}

// The selected entry's row, in the list's bin window; false without one.
bool SelectedRow(HWND list, GdkRectangle& row) {
  std::vector<int32_t> selection;
  if (ToviListBox_GetSelection(list, selection) == 0) return false;
  GtkTreePath* path = gtk_tree_path_new_from_indices(selection.front(), -1);
  gtk_tree_view_get_cell_area(GTK_TREE_VIEW(list->widget), path, nullptr, &row);
  gtk_tree_path_free(path);
  return true;
}

}  // namespace

bool OnContextClick(HWND list, const GdkEventButton& event) {
  if (event.type != GDK_BUTTON_PRESS || event.button != GDK_BUTTON_SECONDARY) {
    return false;
  }
  HWND window = list->parent;
  double x = 0;
  double y = 0;
  ViewPoint(list, event.x_root, event.y_root, x, y);
  const int32_t position = PositionAt(list, x, y);
  gtk_widget_grab_focus(list->widget);
  std::vector<int32_t> selection;
  ToviListBox_GetSelection(list, selection);
  if (position >= 0 && (selection.empty() || selection.front() != position)) {
    ShowSelection(list, position);
    IssueCommand(list, 1);
  }
  if (window->onContextMenu != nullptr) {
    CallHandler(window->onContextMenu, list->id);
  }
  return true;
}

}  // namespace tovi::gtk

void ToviRegOnContextMenu(HWND window, ToviContextMenuHandler handler) {
  if (HWND found = tovi::gtk::Find(window, RecordKind::kWindow)) {
    found->onContextMenu = handler;
  }
}

void ToviPopupMenu(HWND control, const std::vector<ToviMenuItem>& items,
                   ToviBool atPointer) {
  using namespace tovi::gtk;
  HWND found = Find(control);
  if (found == nullptr || found->parent == nullptr || items.empty()) return;
  GtkWidget* menu = gtk_menu_new();
  gtk_menu_attach_to_widget(GTK_MENU(menu), found->widget, nullptr);
  for (const ToviMenuItem& item : items) {
    GtkWidget* widget = MenuItem(item);
    g_signal_connect(widget, "activate", G_CALLBACK(OnActivate), found->parent);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
  }
  g_signal_connect(menu, "deactivate", G_CALLBACK(OnDeactivate), nullptr);
  gtk_widget_show_all(menu);
  GdkEvent* event = gtk_get_current_event();
  GdkRectangle row;
  if (atPointer != kFalse && event != nullptr) {
    gtk_menu_popup_at_pointer(GTK_MENU(menu), event);
  } else if (found->kind == RecordKind::kList && SelectedRow(found, row)) {
    gtk_menu_popup_at_rect(
        GTK_MENU(menu),
        gtk_tree_view_get_bin_window(GTK_TREE_VIEW(found->widget)), &row,
        GDK_GRAVITY_SOUTH_WEST, GDK_GRAVITY_NORTH_WEST, event);
  } else {
    gtk_menu_popup_at_widget(GTK_MENU(menu), found->widget,
                             GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST,
                             event);
  }
  if (event != nullptr) gdk_event_free(event);
  // A keyboard user starts on the first item, as in a native menu.
  if (atPointer == kFalse) {
    gtk_menu_shell_select_first(GTK_MENU_SHELL(menu), TRUE);
  }
}
