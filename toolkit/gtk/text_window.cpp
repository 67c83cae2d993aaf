// Text windows: a top-level window kept above its owner, holding a
// read-only text view in the theme's fixed-width font. A screen reader
// reads the view as text.
#include <algorithm>

#include "toolkit/gtk/backend.h"

namespace tovi::gtk {
namespace {

// The tag of each span kind; drawn in colours that read on a light theme
// and stay legible on a dark one.
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
  gtk_text_buffer_create_tag(buffer, "keyword", "foreground", "#3050c0",
                             "weight", PANGO_WEIGHT_BOLD, nullptr);
  gtk_text_buffer_create_tag(buffer, "comment", "foreground", "#308030",
                             nullptr);
  gtk_text_buffer_create_tag(buffer, "string", "foreground", "#b03030",
                             nullptr);
  gtk_text_buffer_create_tag(buffer, "margin", "foreground", "#808080",
                             nullptr);
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

// Beside the owner on its right, or on its left where the right has no
// room on the owner's screen; never off that screen.
void PlaceBeside(HWND view) {
  GtkWindow* owner = GTK_WINDOW(view->owner->widget);
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int ownWidth = 0;
  int ownHeight = 0;
  gtk_window_get_position(owner, &x, &y);
  gtk_window_get_size(owner, &width, &height);
  gtk_window_get_size(GTK_WINDOW(view->widget), &ownWidth, &ownHeight);
  GdkRectangle area{0, 0, G_MAXINT / 2, G_MAXINT / 2};
  GdkWindow* ownerWindow = gtk_widget_get_window(view->owner->widget);
  if (ownerWindow != nullptr) {
    GdkMonitor* monitor = gdk_display_get_monitor_at_window(
        gdk_window_get_display(ownerWindow), ownerWindow);
    gdk_monitor_get_workarea(monitor, &area);
  }
  // A little gap for the window frames between them.
  constexpr int kGap = 8;
  int left = x + width + kGap;
  if (left + ownWidth > area.x + area.width && x - kGap - ownWidth >= area.x) {
    left = x - kGap - ownWidth;
  }
  left = std::max(area.x, std::min(left, area.x + area.width - ownWidth));
  gtk_window_move(GTK_WINDOW(view->widget), left, y);
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
  atk_object_set_name(gtk_widget_get_accessible(text), shown.c_str());
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_add(GTK_CONTAINER(scroller), text);
  gtk_container_add(GTK_CONTAINER(widget), scroller);

  HWND record =
      NewRecord(RecordKind::kTextWindow, nullptr, -1, widget, nullptr);
  record->owner = ownerRecord;
  record->textView = text;
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
    gtk_widget_hide(found->widget);
    return;
  }
  if (!gtk_widget_get_visible(found->widget)) tovi::gtk::PlaceBeside(found);
  gtk_widget_show_all(found->widget);
}

ToviBool ToviTextWindow_IsShown(HWND view) {
  HWND found = FindView(view);
  return found != nullptr && gtk_widget_get_visible(found->widget) ? kTrue
                                                                   : kFalse;
}
