// Lists: entries in insertion order shown literally, one selection and a
// focus mark apart from it, over a tree view of one column.
//
// The entries' bytes are kept here as the program gave them; the view's
// model holds only the text drawn (see DisplayText), so any bytes survive a
// round trip and a lookup compares the bytes, never the drawn text. A screen
// reader announces the view as a list, each entry by its text.
#include <algorithm>
#include <string>
#include <string_view>

#include <gtk/gtk-a11y.h>

#include "toolkit/gtk/backend.h"

namespace tovi::gtk {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

int32_t Count(HWND list) {
  return static_cast<int32_t>(list->entries.size());
}

bool InRange(HWND list, int32_t position) {
  return position >= 0 && position < Count(list);
}

GtkTreeView* View(HWND list) {
  return GTK_TREE_VIEW(list->widget);
}

// Runs `change` on the view without the selection's change reaching the
// window.
template <typename Change>
void Quietly(HWND list, Change change) {
  const bool before = list->quiet;
  list->quiet = true;
  change();
  list->quiet = before;
}

// An empty list being filled: the view would hear of every entry one by
// one, so it lets go of its model until the program is back in the event
// loop and takes the whole list then, before it is drawn. An empty list has
// no selection or focus mark to lose meanwhile; anything that needs the
// view takes the model back first.
// A screen reader announces a list, named after the window it is in. The
// view's accessible takes its role from the model, so it is set again
// whenever the model comes back.
void AnnounceAsList(HWND list) {
  AtkObject* accessible = gtk_widget_get_accessible(list->widget);
  atk_object_set_role(accessible, ATK_ROLE_LIST);
  if (!list->accessibleName.empty()) {
    atk_object_set_name(accessible, list->accessibleName.c_str());
    return;
  }
  const char* title = gtk_window_get_title(GTK_WINDOW(list->parent->widget));
  atk_object_set_name(accessible, title == nullptr ? "" : title);
}

void Reattach(HWND list) {
  if (!list->detached) return;
  list->detached = false;
  Quietly(list, [&] {
    gtk_tree_view_set_model(View(list), GTK_TREE_MODEL(list->store));
  });
  AnnounceAsList(list);
}

void DetachWhileFilling(HWND list) {
  if (list->detached || !list->entries.empty()) return;
  list->detached = true;
  gtk_tree_view_set_model(View(list), nullptr);
  g_idle_add_full(
      G_PRIORITY_HIGH_IDLE,
      [](gpointer data) {
        Reattach(static_cast<HWND>(data));
        return G_SOURCE_REMOVE;
      },
      list, nullptr);
}

int32_t Selected(HWND list) {
  Reattach(list);
  GtkTreeSelection* selection = gtk_tree_view_get_selection(View(list));
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  if (!gtk_tree_selection_get_selected(selection, &model, &iter)) return -1;
  GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
  const int32_t position = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  return position;
}

gboolean IssueSelectionNotice(gpointer data) {
  auto* list = static_cast<HWND>(data);
  list->selectionNotice = 0;
  IssueCommand(list, 1);
  return G_SOURCE_REMOVE;
}

// A click or key that changes the selection: the window hears of it, as it
// does from a native list. The program's own changes stay quiet. The view
// tells a screen reader of the entry it selected and focused only after
// this signal, so the window hears of it once the view is done: what the
// window does about it, such as the preview following, then comes after
// the entry and does not speak over it.
void OnSelectionChanged(GtkTreeSelection*, gpointer data) {
  auto* list = static_cast<HWND>(data);
  if (list->quiet || list->selectionNotice != 0) return;
  list->selectionNotice = g_idle_add_full(G_PRIORITY_HIGH_IDLE,
                                          IssueSelectionNotice, list, nullptr);
}

gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* list = static_cast<HWND>(data);
  if (OnContextClick(list, *event)) return TRUE;
  if (list->draggable && OnDragPress(list, *event)) return TRUE;
  // A native list keeps its selection on a click below the last entry and
  // only takes the focus.
  double x = 0;
  double y = 0;
  ViewPoint(list, event->x_root, event->y_root, x, y);
  if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY &&
      PositionAt(list, x, y) < 0) {
    gtk_widget_grab_focus(list->widget);
    return TRUE;
  }
  return FALSE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* list = static_cast<HWND>(data);
  return list->draggable && OnDragMotion(list, *event);
}

gboolean OnRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* list = static_cast<HWND>(data);
  return list->draggable && OnDragRelease(list, *event);
}

gboolean OnGrabBroken(GtkWidget*, GdkEvent*, gpointer data) {
  return tovi::gtk::OnDragGrabBroken(static_cast<HWND>(data));
}

// Activating an entry (a screen reader's action on it, Enter, a double
// click) selects it as a click does; the window hears of a change.
void OnRowActivated(GtkTreeView* view, GtkTreePath* path, GtkTreeViewColumn*,
                    gpointer) {
  gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
}

// The entries' accessibles are the tree view's cells, which offer editing,
// expanding and activating. A list entry is neither edited nor expanded,
// so the cells of the toolkit's lists offer activation alone; cells of
// other views (a file dialog's) keep all of theirs.
constexpr char kListMark[] = "tovi-list";
AtkActionIface cellActions{};

bool InToolkitList(AtkAction* action) {
  GtkWidget* view = gtk_accessible_get_widget(GTK_ACCESSIBLE(action));
  return view != nullptr && g_object_get_data(G_OBJECT(view), kListMark);
}

// The cell's own number of its activate action; -1 when it has none.
int ActivateIndex(AtkAction* action) {
  const int count = cellActions.get_n_actions(action);
  for (int i = 0; i < count; ++i) {
    const char* name = cellActions.get_name(action, i);
    if (name != nullptr && std::string_view(name) == "activate") return i;
  }
  return -1;
}

// Action `i` of a cell as its own actions number it.
int CellAction(AtkAction* action, int i) {
  if (!InToolkitList(action)) return i;
  return i == 0 ? ActivateIndex(action) : -1;
}

gint ListCellActionCount(AtkAction* action) {
  if (!InToolkitList(action)) return cellActions.get_n_actions(action);
  return ActivateIndex(action) < 0 ? 0 : 1;
}

gboolean ListCellDoAction(AtkAction* action, gint i) {
  const int own = CellAction(action, i);
  return own >= 0 && cellActions.do_action(action, own);
}

const gchar* ListCellActionName(AtkAction* action, gint i) {
  const int own = CellAction(action, i);
  return own < 0 ? nullptr : cellActions.get_name(action, own);
}

const gchar* ListCellActionDescription(AtkAction* action, gint i) {
  const int own = CellAction(action, i);
  return own < 0 ? nullptr : cellActions.get_description(action, own);
}

const gchar* ListCellActionKeys(AtkAction* action, gint i) {
  const int own = CellAction(action, i);
  return own < 0 ? nullptr : cellActions.get_keybinding(action, own);
}

const gchar* ListCellActionLocalizedName(AtkAction* action, gint i) {
  const int own = CellAction(action, i);
  if (own < 0) return nullptr;
  return cellActions.get_localized_name != nullptr
             ? cellActions.get_localized_name(action, own)
             : cellActions.get_name(action, own);
}

// Once per run: a list's entries are cells of this kind.
void OfferOnlyWorkingActions() {
  static bool done = false;
  if (done) return;
  done = true;
  auto* cellClass = g_type_class_ref(GTK_TYPE_TEXT_CELL_ACCESSIBLE);
  auto* actions = static_cast<AtkActionIface*>(
      g_type_interface_peek(cellClass, ATK_TYPE_ACTION));
  if (actions == nullptr || actions->get_n_actions == nullptr ||
      actions->get_name == nullptr || actions->do_action == nullptr) {
    return;
  }
  cellActions = *actions;
  actions->get_n_actions = ListCellActionCount;
  actions->do_action = ListCellDoAction;
  actions->get_name = ListCellActionName;
  actions->get_description = ListCellActionDescription;
  actions->get_keybinding = ListCellActionKeys;
  actions->get_localized_name = ListCellActionLocalizedName;
}

// Tells a screen reader where the entry at `position` now stands: its
// cell is focused again, for a reader that follows the focus, and the
// list announces "NAME, N of M", as readers say an entry of a list.
void AnnounceMove(HWND list, int32_t position) {
  AtkObject* accessible = gtk_widget_get_accessible(list->widget);
  if (gtk_widget_has_focus(list->widget) && ATK_IS_TABLE(accessible)) {
    if (AtkObject* cell =
            atk_table_ref_at(ATK_TABLE(accessible), position, 0)) {
      atk_object_notify_state_change(cell, ATK_STATE_FOCUSED, TRUE);
      g_object_unref(cell);
    }
  }
  if (g_signal_lookup("announcement", ATK_TYPE_OBJECT) == 0) return;
  const std::string said =
      DisplayText(list->entries[static_cast<size_t>(position)]) + ", " +
      std::to_string(position + 1) + " of " + std::to_string(Count(list));
  g_signal_emit_by_name(accessible, "announcement", said.c_str());
}

}  // namespace

int32_t PositionAt(HWND list, double x, double y) {
  GtkTreeView* view = View(list);
  GtkAllocation area;
  gtk_widget_get_allocation(list->widget, &area);
  if (x < 0 || y < 0 || x >= area.width || y >= area.height) return -1;
  int binX = 0;
  int binY = 0;
  gtk_tree_view_convert_widget_to_bin_window_coords(
      view, static_cast<int>(x), static_cast<int>(y), &binX, &binY);
  if (binY < 0) return -1;
  GtkTreePath* path = nullptr;
  if (!gtk_tree_view_get_path_at_pos(view, binX, binY, &path, nullptr, nullptr,
                                     nullptr)) {
    return -1;
  }
  const int32_t position = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  return InRange(list, position) ? position : -1;
}

void ShowSelection(HWND list, int32_t position) {
  Reattach(list);
  Quietly(list, [&] {
    GtkTreeView* view = View(list);
    if (!InRange(list, position)) {
      gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(view));
      return;
    }
    // The cursor selects the entry in a single-selection view, carries the
    // focus mark there and scrolls it into view.
    GtkTreePath* path = gtk_tree_path_new_from_indices(position, -1);
    gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
    gtk_tree_path_free(path);
  });
}

// With nothing selected, Up or Down selects the entry the focus mark
// stands on instead of moving past it, as a system list does: after a Load
// the view puts its mark on the first entry without selecting it.
gboolean OnArrowKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* list = static_cast<HWND>(data);
  const guint key = event->keyval;
  const bool arrow = key == GDK_KEY_Up || key == GDK_KEY_Down ||
                     key == GDK_KEY_KP_Up || key == GDK_KEY_KP_Down;
  if (!arrow || (event->state & gtk_accelerator_get_default_mod_mask()) != 0 ||
      Count(list) == 0 || Selected(list) >= 0) {
    return FALSE;
  }
  GtkTreePath* path = nullptr;
  gtk_tree_view_get_cursor(View(list), &path, nullptr);
  if (path == nullptr) path = gtk_tree_path_new_first();
  gtk_tree_view_set_cursor(View(list), path, nullptr, FALSE);
  gtk_tree_path_free(path);
  return TRUE;
}

}  // namespace tovi::gtk

namespace {

using tovi::gtk::Find;

HWND FindList(HWND list) {
  return Find(list, RecordKind::kList);
}

}  // namespace

HWND ToviAddListBox(HWND parent, int32_t /*style*/, int32_t /*exStyle*/,
                    int32_t id) {
  HWND window = Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  GtkTreeView* tree = GTK_TREE_VIEW(view);
  gtk_tree_view_set_headers_visible(tree, FALSE);
  // Typing searches by the drawn text and would pop up a box of its own;
  // a list of the system's kind has no such box.
  gtk_tree_view_set_enable_search(tree, FALSE);
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  GtkTreeViewColumn* column =
      gtk_tree_view_column_new_with_attributes("", text, "text", 0, nullptr);
  // Every entry is one line of the same height, so the view need not
  // measure each one: filling it with thousands stays quick.
  gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_append_column(tree, column);
  gtk_tree_view_set_fixed_height_mode(tree, TRUE);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(tree),
                              GTK_SELECTION_SINGLE);

  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller),
                                 GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller),
                                      GTK_SHADOW_IN);
  // Room for the scroll bar's arrows and slider even at the smallest size,
  // which would otherwise be less than the bar itself needs.
  gtk_scrolled_window_set_min_content_height(GTK_SCROLLED_WINDOW(scroller), 48);
  gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scroller),
                                            FALSE);
  gtk_container_add(GTK_CONTAINER(scroller), view);

  HWND record =
      tovi::gtk::NewRecord(RecordKind::kList, window, id, view, scroller);
  record->scroller = scroller;
  record->store = store;

  tovi::gtk::AnnounceAsList(record);
  g_object_set_data(G_OBJECT(view), tovi::gtk::kListMark, record);
  tovi::gtk::OfferOnlyWorkingActions();
  g_signal_connect(view, "row-activated", G_CALLBACK(tovi::gtk::OnRowActivated),
                   record);

  g_signal_connect(gtk_tree_view_get_selection(tree), "changed",
                   G_CALLBACK(tovi::gtk::OnSelectionChanged), record);
  gtk_widget_add_events(view, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                  GDK_POINTER_MOTION_MASK);
  g_signal_connect(view, "button-press-event", G_CALLBACK(tovi::gtk::OnPress),
                   record);
  g_signal_connect(view, "motion-notify-event", G_CALLBACK(tovi::gtk::OnMotion),
                   record);
  g_signal_connect(view, "button-release-event",
                   G_CALLBACK(tovi::gtk::OnRelease), record);
  g_signal_connect(view, "grab-broken-event",
                   G_CALLBACK(tovi::gtk::OnGrabBroken), record);
  g_signal_connect(view, "key-press-event", G_CALLBACK(tovi::gtk::OnArrowKey),
                   record);
  return record;
}

int32_t ToviListBox_AddItem(HWND list, int32_t position,
                            const std::string& text) {
  HWND found = FindList(list);
  if (found == nullptr || position < -1 || position > tovi::gtk::Count(found)) {
    return -1;
  }
  if (position == -1) position = tovi::gtk::Count(found);
  const std::string shown = tovi::gtk::DisplayText(text);
  tovi::gtk::DetachWhileFilling(found);
  found->entries.insert(found->entries.begin() + position, text);
  // Drawing waits for the event loop: filling the list entry by entry draws
  // it once.
  tovi::gtk::Quietly(found, [&] {
    gtk_list_store_insert_with_values(found->store, nullptr, position, 0,
                                      shown.c_str(), -1);
  });
  return position;
}

ToviBool ToviListBox_RemoveItem(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found == nullptr || !tovi::gtk::InRange(found, position)) return kFalse;
  GtkTreeIter iter;
  if (!gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(found->store), &iter,
                                     nullptr, position)) {
    return kFalse;
  }
  const bool wasSelected = tovi::gtk::Selected(found) == position;
  found->entries.erase(found->entries.begin() + position);
  tovi::gtk::Quietly(found, [&] {
    gtk_list_store_remove(found->store, &iter);
    // The view selects the entry that takes the place of a removed
    // selected one; a native list is left with no selection.
    if (wasSelected) {
      gtk_tree_selection_unselect_all(
          gtk_tree_view_get_selection(tovi::gtk::View(found)));
    }
  });
  return kTrue;
}

void ToviListBox_Clear(HWND list) {
  HWND found = FindList(list);
  if (found == nullptr) return;
  found->entries.clear();
  tovi::gtk::Quietly(found, [&] { gtk_list_store_clear(found->store); });
}

std::string ToviListBox_GetItem(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found == nullptr || !tovi::gtk::InRange(found, position)) return {};
  return found->entries[static_cast<size_t>(position)];
}

int32_t ToviListBox_GetIndex(HWND list, const std::string& text) {
  HWND found = FindList(list);
  if (found == nullptr) return -1;
  auto match =
      std::ranges::find_if(found->entries, [&](const std::string& entry) {
        return tovi::gtk::EqualIgnoringCase(entry, text);
      });
  if (match == found->entries.end()) return -1;
  return static_cast<int32_t>(match - found->entries.begin());
}

int32_t ToviListBox_GetCount(HWND list) {
  HWND found = FindList(list);
  return found == nullptr ? 0 : tovi::gtk::Count(found);
}

int32_t ToviListBox_GetSelection(HWND list, std::vector<int32_t>& positions) {
  positions.clear();
  HWND found = FindList(list);
  if (found == nullptr) return 0;
  const int32_t selected = tovi::gtk::Selected(found);
  if (selected < 0) return 0;
  positions.push_back(selected);
  return 1;
}

void ToviListBox_SetSelection(HWND list,
                              const std::vector<int32_t>& positions) {
  HWND found = FindList(list);
  if (found == nullptr) return;
  tovi::gtk::ShowSelection(found, positions.empty() ? -1 : positions.front());
}

void ToviListBox_SetCaret(HWND list, int32_t position) {
  HWND found = FindList(list);
  if (found == nullptr || !tovi::gtk::InRange(found, position)) return;
  // The view's cursor is its focus mark, but moving it also selects; the
  // selection is put back as it was.
  const int32_t selected = tovi::gtk::Selected(found);  // takes the model back
  tovi::gtk::Quietly(found, [&] {
    GtkTreeView* view = tovi::gtk::View(found);
    GtkTreePath* path = gtk_tree_path_new_from_indices(position, -1);
    gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
    gtk_tree_path_free(path);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    gtk_tree_selection_unselect_all(selection);
    if (selected >= 0) {
      GtkTreePath* kept = gtk_tree_path_new_from_indices(selected, -1);
      gtk_tree_selection_select_path(selection, kept);
      gtk_tree_path_free(kept);
    }
  });
}

ToviBool ToviListBox_MoveItem(HWND list, int32_t from, int32_t to) {
  HWND found = FindList(list);
  if (found == nullptr || !tovi::gtk::InRange(found, from) ||
      !tovi::gtk::InRange(found, to)) {
    return kFalse;
  }
  tovi::gtk::Reattach(found);
  GtkTreeModel* model = GTK_TREE_MODEL(found->store);
  GtkTreeIter moved;
  GtkTreeIter place;
  if (!gtk_tree_model_iter_nth_child(model, &moved, nullptr, from) ||
      !gtk_tree_model_iter_nth_child(model, &place, nullptr, to)) {
    return kFalse;
  }
  auto& entries = found->entries;
  const auto begin = entries.begin();
  // The row itself moves, keeping its accessible, its selection and the
  // focus mark: removing and inserting it would have a screen reader hear
  // the neighbour that takes its place first.
  tovi::gtk::Quietly(found, [&] {
    if (from < to) {
      std::rotate(begin + from, begin + from + 1, begin + to + 1);
      gtk_list_store_move_after(found->store, &moved, &place);
    } else if (from > to) {
      std::rotate(begin + to, begin + from, begin + from + 1);
      gtk_list_store_move_before(found->store, &moved, &place);
    }
  });
  tovi::gtk::ShowSelection(found, to);
  tovi::gtk::AnnounceMove(found, to);
  return kTrue;
}

void ToviSetAccessibleName(HWND control, const std::string& name) {
  HWND found = Find(control);
  if (found == nullptr) return;
  if (found->kind == RecordKind::kList) {
    found->accessibleName = name;
    tovi::gtk::AnnounceAsList(found);
    return;
  }
  atk_object_set_name(gtk_widget_get_accessible(found->widget), name.c_str());
}
