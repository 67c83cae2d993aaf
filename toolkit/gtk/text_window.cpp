// Text windows: a window kept above its owner, holding a read-only text
// view in the theme's fixed-width font. Where it cannot stand beside its
// owner (no room on the screen, or a Wayland compositor, which neither says
// nor lets a program choose where its windows go and may hand a new window
// the keyboard), the view is docked inside the owner instead, beside its
// controls, and the owner keeps the keyboard. A screen reader reads the
// view as text.
#include <algorithm>
#include <functional>
#include <optional>

#include "toolkit/gtk/backend.h"
#include "toolkit/gtk/theme_colours.h"

#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

namespace tovi::gtk {
namespace {

// The tag of each span kind.
const char* TagOf(int32_t kind) {
  switch (kind) {
    case kTextKeyword:
      return "keyword";
    case kTextComment:
      return "comment";
    case kTextString:
      return "string";
    case kTextMargin:
      return "margin";
    default:
      return nullptr;
  }
}

void CreateTags(GtkTextBuffer* buffer) {
  gtk_text_buffer_create_tag(buffer, "keyword", "weight", PANGO_WEIGHT_BOLD,
                             nullptr);
  for (const char* tag : {"comment", "string", "margin"}) {
    gtk_text_buffer_create_tag(buffer, tag, nullptr, nullptr);
  }
}

// The tags take their colours from the theme, again whenever it changes.
void ColourTags(GtkWidget* view, gpointer) {
  const PreviewColours colours = ThemePreviewColours(view);
  GtkTextTagTable* tags = gtk_text_buffer_get_tag_table(
      gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
  const std::pair<const char*, const GdkRGBA*> kinds[] = {
      {"keyword", &colours.keyword},
      {"string", &colours.string},
      {"comment", &colours.comment},
      {"margin", &colours.margin}};
  for (const auto& [name, colour] : kinds) {
    if (GtkTextTag* tag = gtk_text_tag_table_lookup(tags, name)) {
      g_object_set(tag, "foreground-rgba", colour, nullptr);
    }
  }
}

// Closing the window hides it; the owner may show it again.
gboolean OnDelete(GtkWidget* widget, GdkEvent*, gpointer) {
  gtk_widget_hide(widget);
  return TRUE;
}

// Keys pressed here are the owner's shortcuts too, F3 among them. Escape
// closes the window, as it closes a dialog, and the owner takes the
// keyboard back.
gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* view = static_cast<HWND>(data);
  if (event->keyval == GDK_KEY_Escape &&
      (event->state & gtk_accelerator_get_default_mod_mask()) == 0) {
    gtk_widget_hide(view->widget);
    gtk_window_present(GTK_WINDOW(view->owner->widget));
    return TRUE;
  }
  return OfferKey(view->owner, *event) ? TRUE : FALSE;
}

// Hidden with its owner, so closing the owner ends the program.
void OnOwnerHidden(GtkWidget*, gpointer data) {
  gtk_widget_hide(static_cast<HWND>(data)->widget);
}

HWND FindView(HWND view) {
  return Find(view, RecordKind::kTextWindow);
}

// The work area of the owner's screen; unbounded while that is unknown.
GdkRectangle WorkArea(HWND owner) {
  GdkRectangle area{0, 0, G_MAXINT / 2, G_MAXINT / 2};
  GdkWindow* ownerWindow = gtk_widget_get_window(owner->widget);
  if (ownerWindow != nullptr) {
    GdkMonitor* monitor = gdk_display_get_monitor_at_window(
        gdk_window_get_display(ownerWindow), ownerWindow);
    if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
  }
  return area;
}

// A little gap for the window frames between them.
constexpr int kGap = 8;

// Where the view's window goes beside its owner: on its right, or on its
// left where the right has no room on the owner's screen. None when neither
// side has room, or when the display places windows itself.
std::optional<int> LeftBeside(HWND view) {
#ifdef GDK_WINDOWING_WAYLAND
  if (GDK_IS_WAYLAND_DISPLAY(gtk_widget_get_display(view->widget))) {
    return std::nullopt;
  }
#endif
  GtkWindow* owner = GTK_WINDOW(view->owner->widget);
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  gtk_window_get_position(owner, &x, &y);
  gtk_window_get_size(owner, &width, &height);
  const GdkRectangle area = WorkArea(view->owner);
  if (x + width + kGap + view->width <= area.x + area.width) {
    return x + width + kGap;
  }
  if (x - kGap - view->width >= area.x) return x - kGap - view->width;
  return std::nullopt;
}

// Takes `widget` out of its container and gives it to `add`.
void Move(GtkWidget* widget, const std::function<void(GtkWidget*)>& add) {
  g_object_ref(widget);
  gtk_container_remove(GTK_CONTAINER(gtk_widget_get_parent(widget)), widget);
  add(widget);
  g_object_unref(widget);
}

// The view stands inside its owner, right of the controls. The owner grows
// by the view's width as far as its screen allows (moving left where it
// must to stay on it); where that is not enough the controls keep their
// width while the view still gets a third.
void Dock(HWND view) {
  HWND owner = view->owner;
  if (owner->dock == nullptr) {
    owner->dock = gtk_paned_new(GTK_ORIENTATION_HORIZONTAL);
    Move(owner->fixed, [&](GtkWidget* fixed) {
      gtk_paned_pack1(GTK_PANED(owner->dock), fixed, TRUE, FALSE);
    });
    gtk_container_add(GTK_CONTAINER(owner->widget), owner->dock);
    gtk_widget_show(owner->dock);
  }
  GtkWindow* window = GTK_WINDOW(owner->widget);
  int width = 0;
  int height = 0;
  gtk_window_get_size(window, &width, &height);
  const GdkRectangle area = WorkArea(owner);
  const int total = std::max(width, std::min(width + view->width, area.width));
  view->grownBy = total - width;
  // The view takes no keyboard focus here: the keys stay with the controls.
  gtk_widget_set_can_focus(view->textView, FALSE);
  Move(view->scroller, [&](GtkWidget* scroller) {
    gtk_paned_pack2(GTK_PANED(owner->dock), scroller, TRUE, FALSE);
  });
  gtk_widget_show_all(view->scroller);
  if (view->grownBy > 0) {
    gtk_window_resize(window, total, height);
    // Grown to the right, the owner moves left as far as it must to stay
    // on its screen.
    int x = 0;
    int y = 0;
    gtk_window_get_position(window, &x, &y);
    const int left = std::max(area.x, std::min(x, area.x + area.width - total));
    view->movedBy = x - left;
    if (view->movedBy > 0) gtk_window_move(window, left, y);
  }
  gtk_paned_set_position(
      GTK_PANED(owner->dock),
      std::max(total - view->width, std::min(width, total * 2 / 3)));
  view->docked = true;
}

// The view goes back into its own window, hidden, and the owner back to
// the width and place it had.
void Undock(HWND view) {
  Move(view->scroller, [&](GtkWidget* scroller) {
    gtk_container_add(GTK_CONTAINER(view->widget), scroller);
  });
  gtk_widget_set_can_focus(view->textView, TRUE);
  GtkWindow* window = GTK_WINDOW(view->owner->widget);
  if (view->grownBy > 0) {
    int width = 0;
    int height = 0;
    gtk_window_get_size(window, &width, &height);
    gtk_window_resize(window, std::max(width - view->grownBy, 1), height);
  }
  if (view->movedBy > 0) {
    int x = 0;
    int y = 0;
    gtk_window_get_position(window, &x, &y);
    gtk_window_move(window, x + view->movedBy, y);
  }
  view->grownBy = 0;
  view->movedBy = 0;
  view->docked = false;
}

// Byte offsets of the UTF-8 text as character offsets, for spans given in
// order; an offset before the last one found starts over from the text's
// start.
class CharOffsets {
 public:
  explicit CharOffsets(const std::string& text) : text_(text) {}
  glong At(int32_t byte) {
    const auto target = static_cast<size_t>(byte);
    if (target < byte_) {
      byte_ = 0;
      chars_ = 0;
    }
    chars_ +=
        g_utf8_pointer_to_offset(text_.data() + byte_, text_.data() + target);
    byte_ = target;
    return chars_;
  }

 private:
  const std::string& text_;
  size_t byte_ = 0;
  glong chars_ = 0;
};

}  // namespace
}  // namespace tovi::gtk

using tovi::gtk::FindView;

HWND ToviNewTextWindow(HWND owner, const std::string& title, int32_t width,
                       int32_t height) {
  using namespace tovi::gtk;
  HWND ownerRecord = Find(owner, RecordKind::kWindow);
  if (ownerRecord == nullptr) return nullptr;
  GtkWidget* widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  // The records hold the widgets for the whole run.
  g_object_ref_sink(widget);
  GtkWindow* window = GTK_WINDOW(widget);
  const std::string shown = DisplayText(title);
  gtk_window_set_title(window, shown.c_str());
  gtk_window_set_default_size(window, std::max(width, 1), std::max(height, 1));
  gtk_window_set_transient_for(window, GTK_WINDOW(ownerRecord->widget));
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
  gtk_window_set_focus_on_map(window, FALSE);

  GtkWidget* text = gtk_text_view_new();
  GtkTextView* textView = GTK_TEXT_VIEW(text);
  gtk_text_view_set_editable(textView, FALSE);
  gtk_text_view_set_monospace(textView, TRUE);
  gtk_text_view_set_wrap_mode(textView, GTK_WRAP_NONE);
  gtk_text_view_set_left_margin(textView, 4);
  CreateTags(gtk_text_view_get_buffer(textView));
  ColourTags(text, nullptr);
  g_signal_connect(text, "style-updated", G_CALLBACK(tovi::gtk::ColourTags),
                   nullptr);
  atk_object_set_name(gtk_widget_get_accessible(text), shown.c_str());
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_add(GTK_CONTAINER(scroller), text);
  gtk_container_add(GTK_CONTAINER(widget), scroller);

  HWND record =
      NewRecord(RecordKind::kTextWindow, nullptr, -1, widget, nullptr);
  record->owner = ownerRecord;
  record->textView = text;
  record->scroller = scroller;
  record->width = std::max(width, 1);
  g_signal_connect(widget, "delete-event", G_CALLBACK(tovi::gtk::OnDelete),
                   nullptr);
  g_signal_connect(widget, "key-press-event", G_CALLBACK(tovi::gtk::OnKey),
                   record);
  g_signal_connect(ownerRecord->widget, "hide",
                   G_CALLBACK(tovi::gtk::OnOwnerHidden), record);
  return record;
}

void ToviTextWindow_SetText(HWND view, const std::string& text,
                            const std::vector<ToviTextSpan>& spans) {
  HWND found = FindView(view);
  if (found == nullptr) return;
  GtkTextBuffer* buffer =
      gtk_text_view_get_buffer(GTK_TEXT_VIEW(found->textView));
  // The program gives UTF-8; anything else is read as the lists read it.
  const std::string shown =
      g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)
          ? text
          : tovi::gtk::DisplayText(text);
  gtk_text_buffer_set_text(buffer, shown.data(),
                           static_cast<gint>(shown.size()));
  if (shown.size() == text.size()) {
    tovi::gtk::CharOffsets offsets(shown);
    const auto size = static_cast<int32_t>(shown.size());
    for (const ToviTextSpan& span : spans) {
      const char* tag = tovi::gtk::TagOf(span.kind);
      if (tag == nullptr || span.start < 0 || span.length <= 0 ||
          span.start > size - span.length) {
        continue;
      }
      GtkTextIter from;
      GtkTextIter to;
      gtk_text_buffer_get_iter_at_offset(
          buffer, &from, static_cast<gint>(offsets.At(span.start)));
      gtk_text_buffer_get_iter_at_offset(
          buffer, &to, static_cast<gint>(offsets.At(span.start + span.length)));
      gtk_text_buffer_apply_tag_by_name(buffer, tag, &from, &to);
    }
  }
  GtkTextIter start;
  gtk_text_buffer_get_start_iter(buffer, &start);
  gtk_text_buffer_place_cursor(buffer, &start);
  gtk_text_view_scroll_to_iter(GTK_TEXT_VIEW(found->textView), &start, 0, FALSE,
                               0, 0);
}

void ToviTextWindow_Show(HWND view, ToviBool show) {
  HWND found = FindView(view);
  if (found == nullptr) return;
  if (show == kFalse) {
    if (found->docked) tovi::gtk::Undock(found);
    gtk_widget_hide(found->widget);
    return;
  }
  if (found->docked) return;
  if (!gtk_widget_get_visible(found->widget)) {
    const std::optional<int> left = tovi::gtk::LeftBeside(found);
    if (!left) {
      tovi::gtk::Dock(found);
      return;
    }
    int x = 0;
    int y = 0;
    gtk_window_get_position(GTK_WINDOW(found->owner->widget), &x, &y);
    gtk_window_move(GTK_WINDOW(found->widget), *left, y);
  }
  gtk_widget_show_all(found->widget);
}

ToviBool ToviTextWindow_IsShown(HWND view) {
  HWND found = FindView(view);
  return found != nullptr &&
                 (found->docked || gtk_widget_get_visible(found->widget))
             ? kTrue
             : kFalse;
}
