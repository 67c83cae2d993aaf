// The GTK backend's lists and system calls, in process on the runner's X
// server (gtk_e2e exec): what the programs rely on, checked where GTK's own
// habits differ (C strings, UTF-8 only, a view that lets go of its model
// while it fills).
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "toolkit/gtk/backend.h"
#include "toolkit/tovi.h"

namespace {

class GtkBackend : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Tovi(), 0); }

  void SetUp() override {
    window = ToviNewWindow(nullptr, "Test", -1, -1, 400, 300, 0, 0, nullptr, 0);
    list = ToviAddListBox(window, 0, 0, 4);
    button = ToviAddButton(window, "Up", 0, 0);
  }

  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int32_t i = 0; i < ToviListBox_GetCount(list); ++i) {
      entries.push_back(ToviListBox_GetItem(list, i));
    }
    return entries;
  }

  int32_t Selection() {
    std::vector<int32_t> positions;
    return ToviListBox_GetSelection(list, positions) == 1 ? positions[0] : -1;
  }

  HWND window = nullptr;
  HWND list = nullptr;
  HWND button = nullptr;
};

TEST_F(GtkBackend, PositionsCountFromZeroAndMinusOneAppends) {
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "b"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "d"), 1);
  EXPECT_EQ(ToviListBox_AddItem(list, 0, "a"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, 2, "c"), 2);
  EXPECT_EQ(ToviListBox_AddItem(list, 9, "x"), -1);
  EXPECT_EQ(ToviListBox_AddItem(list, -2, "x"), -1);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "b", "c", "d"}));

  EXPECT_EQ(ToviListBox_RemoveItem(list, 1), kTrue);
  EXPECT_EQ(ToviListBox_RemoveItem(list, 3), kFalse);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(ToviListBox_GetItem(list, 3), "");
  EXPECT_EQ(ToviListBox_GetItem(list, -1), "");

  ToviListBox_Clear(list);
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
}

TEST_F(GtkBackend, SelectionFollowsItsEntry) {
  for (const char* text : {"a", "b", "c"}) ToviListBox_AddItem(list, -1, text);
  ToviListBox_SetSelection(list, {1});
  EXPECT_EQ(Selection(), 1);
  ToviListBox_AddItem(list, 0, "first");
  EXPECT_EQ(Selection(), 2);
  ToviListBox_RemoveItem(list, 0);
  EXPECT_EQ(Selection(), 1);
  ToviListBox_RemoveItem(list, 1);
  EXPECT_EQ(Selection(), -1);
  ToviListBox_SetSelection(list, {5});
  EXPECT_EQ(Selection(), -1);
  ToviListBox_SetSelection(list, {0});
  ToviListBox_SetSelection(list, {});
  EXPECT_EQ(Selection(), -1);
}

TEST_F(GtkBackend, LookupIgnoresOnlyAsciiCaseAndFindsTheFirst) {
  for (const char* text : {"Report", "report", "\xC4rger", "Rep"}) {
    ToviListBox_AddItem(list, -1, text);
  }
  EXPECT_EQ(ToviListBox_GetIndex(list, "REPORT"), 0);
  EXPECT_EQ(ToviListBox_GetIndex(list, "rep"), 3);
  EXPECT_EQ(ToviListBox_GetIndex(list, "\xE4rger"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "\xC4RGER"), 2);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Repo"), -1);
}

// What the view draws for an entry.
std::string Drawn(HWND list, int32_t position) {
  while (gtk_events_pending()) gtk_main_iteration();
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(list->widget));
  GtkTreeIter iter;
  if (model == nullptr ||
      !gtk_tree_model_iter_nth_child(model, &iter, nullptr, position)) {
    return "(none)";
  }
  gchar* text = nullptr;
  gtk_tree_model_get(model, &iter, 0, &text, -1);
  std::string drawn = text == nullptr ? "" : text;
  g_free(text);
  return drawn;
}

TEST_F(GtkBackend, EntriesKeepEveryByteAndDrawAsOnWindows) {
  const std::string withNul("a\0b", 3);
  const std::string markup = "<b>bold?</b> & _x";
  const std::string western = "\xC4rger \x80";  // not UTF-8
  ToviListBox_AddItem(list, -1, withNul);
  ToviListBox_AddItem(list, -1, markup);
  ToviListBox_AddItem(list, -1, "");
  ToviListBox_AddItem(list, -1, western);
  ToviListBox_AddItem(list, -1,
                      "Gr\xC3\xB6\xC3\x9F"
                      "e");
  EXPECT_EQ(ToviListBox_GetItem(list, 0), withNul);
  EXPECT_EQ(ToviListBox_GetItem(list, 1), markup);
  EXPECT_EQ(ToviListBox_GetItem(list, 3), western);
  EXPECT_EQ(ToviListBox_GetIndex(list, markup), 1);
  EXPECT_EQ(ToviListBox_GetIndex(list, ""), 2);
  EXPECT_EQ(ToviListBox_GetIndex(list, western), 3);
  // Looked up by its bytes, never by the text drawn for them.
  EXPECT_EQ(ToviListBox_GetIndex(list, "\xC3\x84rger \xE2\x82\xAC"), -1);

  EXPECT_EQ(Drawn(list, 0),
            "a\xE2\x90\x80"
            "b");  // the symbol for NUL
  EXPECT_EQ(Drawn(list, 1), markup);
  EXPECT_EQ(Drawn(list, 2), "");
  EXPECT_EQ(Drawn(list, 3), "\xC3\x84rger \xE2\x82\xAC");
  EXPECT_EQ(Drawn(list, 4),
            "Gr\xC3\xB6\xC3\x9F"
            "e");
}

TEST_F(GtkBackend, TenThousandEntries) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10000; ++i) {
    ToviListBox_AddItem(list, -1, "Function" + std::to_string(i));
  }
  for (int i = 0; i < 10000; i += 97) {
    ASSERT_EQ(ToviListBox_GetIndex(list, "FUNCTION" + std::to_string(i)), i);
  }
  const auto took = std::chrono::steady_clock::now() - start;
  // Reported, not asserted: timing depends on the machine.
  std::cout
      << "10000 entries added and 104 looked up in "
      << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
      << " ms" << std::endl;
  EXPECT_EQ(ToviListBox_GetCount(list), 10000);
  EXPECT_EQ(ToviListBox_GetItem(list, 9999), "Function9999");
}

TEST_F(GtkBackend, SelectionAndCaretOutliveAFill) {
  for (int i = 0; i < 5; ++i) ToviListBox_AddItem(list, -1, std::to_string(i));
  ToviListBox_SetSelection(list, {3});
  ToviListBox_SetCaret(list, 1);
  EXPECT_EQ(Selection(), 3);
  ToviListBox_Clear(list);
  for (int i = 0; i < 5; ++i) ToviListBox_AddItem(list, -1, std::to_string(i));
  EXPECT_EQ(Selection(), -1);
  ToviListBox_SetSelection(list, {2});
  while (gtk_events_pending()) gtk_main_iteration();
  EXPECT_EQ(Selection(), 2);
  EXPECT_EQ(Drawn(list, 4), "4");
}

TEST_F(GtkBackend, SystemCallsFindAndEnableControls) {
  EXPECT_EQ(GetDlgItem(window, 4), list);
  EXPECT_EQ(GetDlgItem(window, 0), button);
  EXPECT_EQ(GetDlgItem(window, 7), nullptr);
  EXPECT_EQ(GetDlgItem(nullptr, 4), nullptr);
  EXPECT_EQ(GetDlgItem(list, 4), nullptr);

  EXPECT_EQ(EnableWindow(button, 0), 0);  // was enabled
  EXPECT_EQ(EnableWindow(button, 0), 1);  // was disabled
  EXPECT_EQ(EnableWindow(button, 1), 1);
  EXPECT_EQ(EnableWindow(nullptr, 1), 0);
}

TEST_F(GtkBackend, WrongHandlesAreRefused) {
  EXPECT_EQ(ToviListBox_AddItem(button, -1, "x"), -1);
  EXPECT_EQ(ToviListBox_AddItem(nullptr, -1, "x"), -1);
  EXPECT_EQ(ToviListBox_GetCount(window), 0);
  EXPECT_EQ(ToviAddButton(list, "x", 0, 9), nullptr);
  EXPECT_EQ(ToviAddListBox(nullptr, 0, 0, 9), nullptr);
}

TEST_F(GtkBackend, OnlyTheProgramsIconIsFound) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "quorlet");
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "quorlet"), icon);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "other"), nullptr);
  EXPECT_EQ(GetModuleHandleA("elsewhere"), nullptr);
}

// A file dialog's controls are destroyed with it while a screen reader may
// still hold their accessibles; asked for their states, they must say they
// are gone, never answer with nothing.
TEST_F(GtkBackend, GoneControlsAnswerDefunct) {
  for (GType type :
       {GTK_TYPE_LABEL, GTK_TYPE_BUTTON, GTK_TYPE_MENU_BUTTON,
        GTK_TYPE_CHECK_BUTTON, GTK_TYPE_ENTRY, GTK_TYPE_SPIN_BUTTON,
        GTK_TYPE_EXPANDER, GTK_TYPE_WINDOW}) {
    GtkWidget* widget =
        GTK_WIDGET(g_object_ref_sink(g_object_new(type, nullptr)));
    AtkObject* accessible =
        ATK_OBJECT(g_object_ref(gtk_widget_get_accessible(widget)));
    gtk_widget_destroy(widget);
    g_object_unref(widget);
    AtkStateSet* states = atk_object_ref_state_set(accessible);
    EXPECT_TRUE(states != nullptr &&
                atk_state_set_contains_state(states, ATK_STATE_DEFUNCT))
        << g_type_name(type);
    if (states != nullptr) g_object_unref(states);
    g_object_unref(accessible);
  }
}

}  // namespace

// In a second, non-Latin layout the key that writes Z in the Latin one
// arrives as a letter of that layout; Ctrl with it is still Ctrl+Z.
TEST_F(GtkBackend, ShortcutsHoldInOtherLayouts) {
  static int32_t heard = -1;
  ToviRegOnKey(window, [](int32_t key, int32_t modifiers) {
    heard = modifiers == kKeyCtrl ? key : -1;
    return kTrue;
  });
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(
      gdk_keymap_get_for_display(gdk_display_get_default()), GDK_KEY_z, &keys,
      &count));
  GdkEventKey event{};
  event.type = GDK_KEY_PRESS;
  event.state = GDK_CONTROL_MASK;
  event.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  event.group = static_cast<guint8>(keys[0].group + 1);
  g_free(keys);
  event.keyval = GDK_KEY_Cyrillic_ya;
  EXPECT_TRUE(tovi::gtk::OfferKey(window, event));
  EXPECT_EQ(heard, 'Z');
  // A key that is none of ours in any layout stays unheard.
  event.keyval = GDK_KEY_Cyrillic_ya;
  event.hardware_keycode = 0;
  heard = -1;
  EXPECT_FALSE(tovi::gtk::OfferKey(window, event));
  EXPECT_EQ(heard, -1);
}
