// What the program shows, read through the accessibility bus the way a
// screen reader reads it: the program's windows, their controls by role,
// name and state, and the list's entries through its table.
//
// Nothing is cached: each read asks the program afresh, so a state seen is
// the state the program has now.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include <memory>
#include <utility>

#include "tests/scenarios/scenario.h"

#include "tests/e2e_gtk/e2e.h"

namespace e2e {
namespace {

// The accessibility bus is spoken to directly: the client library answers
// the program's events from inside its own calls, which without a main loop
// can wait on itself.
GDBusConnection* bus = nullptr;

// An accessible object: the bus name of its program and its path there.
struct Object {
  std::string name;
  std::string path;
  explicit operator bool() const { return !name.empty(); }
};

struct VariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;

Variant Call(const Object& object, const char* interface, const char* method,
             GVariant* args, const char* reply) {
  GError* error = nullptr;
  GVariant* result = g_dbus_connection_call_sync(
      bus, object.name.c_str(), object.path.c_str(), interface, method, args,
      G_VARIANT_TYPE(reply), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  return Variant(result);
}

Variant Property(const Object& object, const char* interface,
                 const char* name) {
  Variant reply = Call(object, "org.freedesktop.DBus.Properties", "Get",
                       g_variant_new("(ss)", interface, name), "(v)");
  if (!reply) return nullptr;
  return Variant(
      g_variant_get_child_value(g_variant_get_child_value(reply.get(), 0), 0));
}

std::string Text(const Object& object, const char* name) {
  Variant value = Property(object, "org.a11y.atspi.Accessible", name);
  if (!value || !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) {
    return "";
  }
  return g_variant_get_string(value.get(), nullptr);
}

std::string NameOf(const Object& object) {
  return Text(object, "Name");
}

Object Reference(GVariant* pair) {
  const gchar* name = nullptr;
  const gchar* path = nullptr;
  g_variant_get(pair, "(&s&o)", &name, &path);
  if (std::string_view(path) == "/org/a11y/atspi/null") return {};
  return {name, path};
}

AtspiRole RoleOf(const Object& object) {
  Variant reply =
      Call(object, "org.a11y.atspi.Accessible", "GetRole", nullptr, "(u)");
  if (!reply) return ATSPI_ROLE_INVALID;
  guint32 role = 0;
  g_variant_get(reply.get(), "(u)", &role);
  return static_cast<AtspiRole>(role);
}

std::string RoleName(const Object& object) {
  Variant reply =
      Call(object, "org.a11y.atspi.Accessible", "GetRoleName", nullptr, "(s)");
  if (!reply) return "";
  const gchar* name = nullptr;
  g_variant_get(reply.get(), "(&s)", &name);
  return name;
}

bool Has(const Object& object, AtspiStateType state) {
  Variant reply =
      Call(object, "org.a11y.atspi.Accessible", "GetState", nullptr, "(au)");
  if (!reply) return false;
  Variant words(g_variant_get_child_value(reply.get(), 0));
  const auto index = static_cast<gsize>(state);
  if (index / 32 >= g_variant_n_children(words.get())) return false;
  guint32 word = 0;
  g_variant_get_child(words.get(), index / 32, "u", &word);
  return (word >> (index % 32) & 1u) != 0;
}

std::vector<Object> Children(const Object& object) {
  std::vector<Object> children;
  Variant reply = Call(object, "org.a11y.atspi.Accessible", "GetChildren",
                       nullptr, "(a(so))");
  if (!reply) return children;
  Variant list(g_variant_get_child_value(reply.get(), 0));
  const gsize count = g_variant_n_children(list.get());
  for (gsize i = 0; i < count; ++i) {
    Variant pair(g_variant_get_child_value(list.get(), i));
    if (Object child = Reference(pair.get())) children.push_back(child);
  }
  return children;
}

Object Parent(const Object& object) {
  Variant value = Property(object, "org.a11y.atspi.Accessible", "Parent");
  return value ? Reference(value.get()) : Object{};
}

Bounds Extents(const Object& object, AtspiCoordType type) {
  Bounds bounds;
  Variant reply =
      Call(object, "org.a11y.atspi.Component", "GetExtents",
           g_variant_new("(u)", static_cast<guint32>(type)), "((iiii))");
  if (reply) {
    g_variant_get(reply.get(), "((iiii))", &bounds.x, &bounds.y, &bounds.w,
                  &bounds.h);
  }
  return bounds;
}

int Rows(const Object& table) {
  Variant value = Property(table, "org.a11y.atspi.Table", "NRows");
  return value ? g_variant_get_int32(value.get()) : 0;
}

Object Cell(const Object& table, int row) {
  Variant reply = Call(table, "org.a11y.atspi.Table", "GetAccessibleAt",
                       g_variant_new("(ii)", row, 0), "((so))");
  if (!reply) return {};
  Variant pair(g_variant_get_child_value(reply.get(), 0));
  return Reference(pair.get());
}

// The program's application object on the bus; empty until it is there.
Object Application(pid_t pid) {
  const Object root{"org.a11y.atspi.Registry",
                    "/org/a11y/atspi/accessible/root"};
  for (const Object& app : Children(root)) {
    Variant reply = Call({"org.freedesktop.DBus", "/org/freedesktop/DBus"},
                         "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                         g_variant_new("(s)", app.name.c_str()), "(u)");
    guint32 owner = 0;
    if (reply) g_variant_get(reply.get(), "(u)", &owner);
    if (owner == static_cast<guint32>(pid)) return app;
  }
  return {};
}

ButtonState ReadButton(const Object& button) {
  ButtonState state;
  state.caption = NameOf(button);
  state.enabled = Has(button, ATSPI_STATE_ENABLED);
  state.focused = Has(button, ATSPI_STATE_FOCUSED);
  state.isDefault = Has(button, ATSPI_STATE_IS_DEFAULT);
  state.bounds = Extents(button, ATSPI_COORD_TYPE_WINDOW);
  state.screen = Extents(button, ATSPI_COORD_TYPE_SCREEN);
  return state;
}

ListState ReadList(const Object& list) {
  ListState state;
  state.name = NameOf(list);
  state.about = Text(list, "Description");
  state.focused = Has(list, ATSPI_STATE_FOCUSED);
  // The frame the layout places is the scrolled pane around the entries.
  const Object frame = Parent(list);
  const Object& framed =
      frame && RoleOf(frame) == ATSPI_ROLE_SCROLL_PANE ? frame : list;
  state.bounds = Extents(framed, ATSPI_COORD_TYPE_WINDOW);
  state.screen = Extents(framed, ATSPI_COORD_TYPE_SCREEN);
  const int rows = Rows(list);
  for (int row = 0; row < rows; ++row) {
    const Object cell = Cell(list, row);
    if (!cell) Fail("the list has no entry " + std::to_string(row));
    state.entries.push_back(NameOf(cell));
    if (Has(cell, ATSPI_STATE_SELECTED)) state.selection = row;
    if (Has(cell, ATSPI_STATE_FOCUSED)) state.focused = true;
  }
  return state;
}

void Collect(const Object& object, std::vector<ListState>& lists,
             std::vector<ButtonState>& buttons, std::string* text) {
  for (const Object& child : Children(object)) {
    const AtspiRole role = RoleOf(child);
    if (role == ATSPI_ROLE_PUSH_BUTTON) {
      if (Has(child, ATSPI_STATE_SHOWING)) buttons.push_back(ReadButton(child));
    } else if (role == ATSPI_ROLE_LIST) {
      // Only the main window's lists are the program's.
      if (text == nullptr) lists.push_back(ReadList(child));
    } else if (role == ATSPI_ROLE_TABLE || role == ATSPI_ROLE_TREE_TABLE) {
      // A file chooser's own lists of places and files are not the
      // program's concern.
    } else if (role == ATSPI_ROLE_LABEL && text != nullptr) {
      if (Has(child, ATSPI_STATE_SHOWING)) {
        const std::string name = NameOf(child);
        if (!name.empty()) *text += (text->empty() ? "" : "\n") + name;
      }
    } else if (role != ATSPI_ROLE_TABLE_CELL) {
      Collect(child, lists, buttons, text);
    }
  }
}

Object FindList(const Object& object) {
  for (const Object& child : Children(object)) {
    const AtspiRole role = RoleOf(child);
    if (role == ATSPI_ROLE_LIST) return child;
    if (role == ATSPI_ROLE_PUSH_BUTTON || role == ATSPI_ROLE_TABLE_CELL) {
      continue;
    }
    if (Object found = FindList(child)) return found;
  }
  return {};
}

// The text of the first text object inside `object`, whole.
std::optional<std::string> TextInside(const Object& object) {
  for (const Object& child : Children(object)) {
    if (RoleOf(child) == ATSPI_ROLE_TEXT) {
      Variant reply = Call(child, "org.a11y.atspi.Text", "GetText",
                           g_variant_new("(ii)", 0, -1), "(s)");
      if (!reply) return std::nullopt;
      const gchar* text = nullptr;
      g_variant_get(reply.get(), "(&s)", &text);
      return std::string(text);
    }
    if (std::optional<std::string> found = TextInside(child)) return found;
  }
  return std::nullopt;
}

// The preview's text object inside `object`, when it is showing.
Object FindPreview(const Object& object) {
  for (const Object& child : Children(object)) {
    const AtspiRole role = RoleOf(child);
    if (role == ATSPI_ROLE_TEXT) {
      if (NameOf(child) == kPreviewTitle && Has(child, ATSPI_STATE_SHOWING)) {
        return child;
      }
    } else if (role != ATSPI_ROLE_LIST && role != ATSPI_ROLE_PUSH_BUTTON) {
      if (Object found = FindPreview(child)) return found;
    }
  }
  return {};
}

void ReadMenu(const Object& object, std::vector<MenuItemState>& items) {
  for (const Object& child : Children(object)) {
    const AtspiRole role = RoleOf(child);
    if (role == ATSPI_ROLE_MENU_ITEM) {
      // The shortcut a screen reader says after the caption.
      const std::string shortcut = Text(child, "Description");
      const std::string caption =
          NameOf(child) + (shortcut.empty() ? "" : "\t" + shortcut);
      items.push_back(
          {scenario::MenuItemText(caption, Has(child, ATSPI_STATE_SENSITIVE)),
           Extents(child, ATSPI_COORD_TYPE_SCREEN)});
    } else {
      ReadMenu(child, items);
    }
  }
}

Object EntryOf(pid_t pid, int position) {
  const Object app = Application(pid);
  const Object list = app ? FindList(app) : Object{};
  const Object cell = list ? Cell(list, position) : Object{};
  if (!cell) Fail("the list has no entry " + std::to_string(position));
  return cell;
}

// What a screen reader heard of the list since it was last taken; see
// TakeHeard.
std::vector<std::string> heard;
Object heardList;

// The list's entry `object` as a reader says it; empty for anything else.
std::string EntryHeard(const Object& object) {
  const int rows = Rows(heardList);
  for (int row = 0; row < rows; ++row) {
    const Object cell = Cell(heardList, row);
    if (cell.name == object.name && cell.path == object.path) {
      return NameOf(cell) + ", " + std::to_string(row + 1) + " of " +
             std::to_string(rows);
    }
  }
  return "";
}

void OnObjectEvent(GDBusConnection*, const gchar* sender, const gchar* path,
                   const gchar*, const gchar* signal, GVariant* parameters,
                   gpointer) {
  if (!heardList || sender == nullptr || heardList.name != sender) return;
  gint32 on = 0;
  GVariant* data = nullptr;
  g_variant_get(parameters, "(&siiv@a{sv})", nullptr, &on, nullptr, &data,
                nullptr);
  Variant any(data);
  const std::string_view name(signal);
  if (name == "Announcement") {
    heard.push_back(std::string("announced: ") +
                    g_variant_get_string(any.get(), nullptr));
    return;
  }
  // A state lost names nothing; an event naming a child is about it.
  if (name == "StateChanged" && on == 0) return;
  const bool child = g_variant_is_of_type(any.get(), G_VARIANT_TYPE("(so)"));
  const std::string entry =
      EntryHeard(child ? Reference(any.get()) : Object{sender, path});
  if (!entry.empty()) heard.push_back(entry);
}

}  // namespace

const ButtonState& Screen::Button(const std::string& caption) const {
  for (const ButtonState& button : buttons) {
    if (button.caption == caption) return button;
  }
  Fail("no button " + caption + " on screen");
}

const ListState& Screen::List() const {
  if (lists.size() != 1) {
    Fail("expected one list, the screen has " + std::to_string(lists.size()));
  }
  return lists.front();
}

std::string Screen::Focused() const {
  for (const ListState& list : lists) {
    if (list.focused) return "list";
  }
  for (const ButtonState& button : buttons) {
    if (button.focused) return button.caption;
  }
  return "";
}

void StartAccessibility() {
  GError* error = nullptr;
  GDBusConnection* session =
      g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (session == nullptr) {
    g_error_free(error);
    Fail("no D-Bus session (run the runner under dbus-run-session)");
  }
  // The session names the accessibility bus, starting it if need be.
  GVariant* reply = g_dbus_connection_call_sync(
      session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
      nullptr, G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, 20000, nullptr,
      &error);
  g_object_unref(session);
  if (reply == nullptr) {
    const std::string why = error->message;
    g_error_free(error);
    Fail("no accessibility bus: " + why);
  }
  const gchar* address = nullptr;
  g_variant_get(reply, "(&s)", &address);
  bus = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(
          G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  g_variant_unref(reply);
  if (bus == nullptr) {
    const std::string why = error->message;
    g_error_free(error);
    Fail("cannot connect to the accessibility bus: " + why);
  }
  // A program registers with the bus's registry as it starts; the registry
  // is started now, so no program waits for it and gives up.
  const Object root{"org.a11y.atspi.Registry",
                    "/org/a11y/atspi/accessible/root"};
  if (!Call(root, "org.a11y.atspi.Accessible", "GetChildren", nullptr,
            "(a(so))")) {
    Fail("the accessibility registry does not answer");
  }
}

std::optional<Screen> ReadScreen(pid_t pid) {
  const Object app = Application(pid);
  if (!app) return std::nullopt;
  Screen screen;
  bool found = false;
  for (const Object& window : Children(app)) {
    if (!Has(window, ATSPI_STATE_SHOWING)) continue;
    const AtspiRole role = RoleOf(window);
    if (role == ATSPI_ROLE_FRAME && !found) {
      found = true;
      screen.title = NameOf(window);
      screen.active = Has(window, ATSPI_STATE_ACTIVE);
      Collect(window, screen.lists, screen.buttons, nullptr);
      // Where it has no room beside the window the preview stands inside.
      if (const Object docked = FindPreview(window)) {
        screen.preview = TextInside(Parent(docked)).value_or("");
      }
      continue;
    }
    if (NameOf(window) == kPreviewTitle) {
      screen.preview = TextInside(window).value_or("");
      continue;
    }
    if (role == ATSPI_ROLE_WINDOW) {
      std::vector<MenuItemState> items;
      ReadMenu(window, items);
      if (!items.empty()) {
        screen.menu = items;
        continue;
      }
    }
    Box box;
    box.role = RoleName(window);
    box.title = NameOf(window);
    box.active = Has(window, ATSPI_STATE_ACTIVE);
    std::vector<ListState> lists;
    Collect(window, lists, box.buttons, &box.text);
    screen.boxes.push_back(box);
  }
  if (!found) return std::nullopt;
  return screen;
}

Bounds EntryBounds(pid_t pid, int position) {
  return Extents(EntryOf(pid, position), ATSPI_COORD_TYPE_SCREEN);
}

std::vector<std::string> EntryActions(pid_t pid, int position, int doing) {
  const Object cell = EntryOf(pid, position);
  if (doing >= 0 && !Call(cell, "org.a11y.atspi.Action", "DoAction",
                          g_variant_new("(i)", doing), "(b)")) {
    Fail("entry " + std::to_string(position) + " refused its action");
  }
  std::vector<std::string> names;
  Variant count = Property(cell, "org.a11y.atspi.Action", "NActions");
  for (int i = 0; count && i < g_variant_get_int32(count.get()); ++i) {
    Variant reply = Call(cell, "org.a11y.atspi.Action", "GetName",
                         g_variant_new("(i)", i), "(s)");
    const gchar* name = "";
    if (reply) g_variant_get(reply.get(), "(&s)", &name);
    names.push_back(name);
  }
  return names;
}

void ListenToList(pid_t pid) {
  static bool subscribed = false;
  if (!subscribed) {
    subscribed = true;
    const Object registry{"org.a11y.atspi.Registry",
                          "/org/a11y/atspi/registry"};
    Call(registry, "org.a11y.atspi.Registry", "RegisterEvent",
         g_variant_new("(sass)", "object:", nullptr, ""), "()");
    g_dbus_connection_signal_subscribe(
        bus, nullptr, "org.a11y.atspi.Event.Object", nullptr, nullptr, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE, OnObjectEvent, nullptr, nullptr);
  }
  const Object app = Application(pid);
  heardList = app ? FindList(app) : Object{};
  if (!heardList) Fail("no list to listen to");
  TakeHeard();
}

std::vector<std::string> TakeHeard() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  return std::exchange(heard, {});
}

Bounds PreviewBounds(pid_t pid, int start, int end) {
  const Object app = Application(pid);
  Object preview;
  for (const Object& window : app ? Children(app) : std::vector<Object>{}) {
    if ((preview = FindPreview(window))) break;
  }
  // From the first character's left edge to the last one's right edge.
  Bounds first;
  Bounds last;
  for (auto [offset, bounds] : {std::pair{start, &first}, {end - 1, &last}}) {
    Variant reply =
        Call(preview, "org.a11y.atspi.Text", "GetCharacterExtents",
             g_variant_new("(iu)", offset,
                           static_cast<guint32>(ATSPI_COORD_TYPE_SCREEN)),
             "(iiii)");
    if (!reply) return {};
    g_variant_get(reply.get(), "(iiii)", &bounds->x, &bounds->y, &bounds->w,
                  &bounds->h);
  }
  return {first.x, first.y, last.x + last.w - first.x, first.h};
}

}  // namespace e2e
