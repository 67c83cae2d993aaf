// Lists: entries in insertion order shown literally, one selection and a
// focus mark that follow their entries when entries before them come or go,
// and the keys a native list answers.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string_view>

#include "toolkit/fltk/backend.h"

namespace tovi::fltk {
namespace {

// Where a mark at `mark` goes when the entry at `position` is inserted.
int32_t AfterInsert(int32_t mark, int32_t position) {
  return mark >= position ? mark + 1 : mark;
}

// Where a mark goes when the entry at `position` is removed.
int32_t AfterRemove(int32_t mark, int32_t position) {
  if (mark == position) return -1;
  return mark > position ? mark - 1 : mark;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

ListBox::ListBox() : Fl_Hold_Browser(0, 0, 0, 0) {
  when(FL_WHEN_CHANGED);
  // A click that changes the selection: the focus mark follows it and the
  // window hears of it, as it does from a native list.
  callback([](Fl_Widget* widget, void*) {
    auto* list = static_cast<ListBox*>(widget);
    list->caret = list->Selection();
    list->redraw();
    IssueCommand(list->record, 1);
  });
}

int ListBox::handle(int event) {
  if (draggable && HandleDragEvent(*this, event)) return 1;
  if (event == FL_KEYBOARD) {
    if (int used = HandleKey()) return used;
  }
  if (event == FL_FOCUS || event == FL_UNFOCUS) redraw();
  // FLTK's list drops the selection on a click below the last entry; a
  // native list keeps it and only takes the focus.
  int X = 0, Y = 0, W = 0, H = 0;
  bbox(X, Y, W, H);
  if (event == FL_PUSH && Fl::event_inside(X, Y, W, H) &&
      PositionAt(Fl::event_x(), Fl::event_y()) < 0) {
    take_focus();
    return 1;
  }
  int used = Fl_Hold_Browser::handle(event);
  if (event == FL_PUSH && Selection() >= 0 && caret != Selection()) {
    caret = Selection();
    redraw();
  }
  return used;
}

int ListBox::HandleKey() {
  if ((Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) != 0) return 0;
  const int32_t from = caret >= 0 ? caret : Selection();
  const int32_t page = std::max(1, h() / std::max(1, EntryHeight()) - 1);
  int32_t to = 0;
  switch (Fl::event_key()) {
    case FL_Up:
      to = from < 0 ? 0 : from - 1;
      break;
    case FL_Down:
      to = from < 0 ? 0 : from + 1;
      break;
    case FL_Home:
      to = 0;
      break;
    case FL_End:
      to = Count() - 1;
      break;
    case FL_Page_Up:
      to = from - page;
      break;
    case FL_Page_Down:
      to = from + page;
      break;
    default:
      return 0;
  }
  if (Count() > 0) SelectPosition(std::clamp(to, 0, Count() - 1), true);
  return 1;
}

void ListBox::SelectPosition(int32_t position, bool byUser) {
  const int32_t before = Selection();
  if (position < 0 || position >= Count()) {
    deselect();
  } else {
    select(position + 1);
    PutCaret(position);
  }
  redraw();
  if (byUser && Selection() != before) IssueCommand(record, 1);
}

void ListBox::PutCaret(int32_t position) {
  caret = position;
  Fl_Browser_::display(find_line(position + 1));
  redraw();
}

int32_t ListBox::PositionAt(int x, int y) {
  int X = 0, Y = 0, W = 0, H = 0;
  bbox(X, Y, W, H);
  if (x < X || x >= X + W || y < Y || y >= Y + H) return -1;
  void* item = find_item(y);
  return item == nullptr ? -1 : lineno(item) - 1;
}

int ListBox::EntryHeight() const {
  return size() > 0 ? item_height(find_line(1)) : textsize() + 2;
}

int ListBox::EntryTop(int32_t position) const {
  int X = 0, Y = 0, W = 0, H = 0;
  bbox(X, Y, W, H);
  return Y - Fl_Browser_::position() + position * EntryHeight();
}

std::string ListBox::ShownText(void* item) const {
  const int line = lineno(item);
  if (line < 1 || line > Count()) return std::string();
  // A NUL is shown as the symbol for NUL, as the Windows list shows it, so
  // the text after it stays visible.
  std::string shown;
  for (char c : entries[static_cast<size_t>(line - 1)]) {
    if (c == '\0') {
      shown += "\xE2\x90\x80";  // U+2400
    } else {
      shown += c;
    }
  }
  return shown;
}

void ListBox::item_draw(void* item, int x, int y, int w, int h) const {
  Fl_Color color = textcolor();
  if (item_selected(item)) color = fl_contrast(color, selection_color());
  if (!active_r()) color = fl_inactive(color);
  fl_font(textfont(), textsize());
  fl_color(color);
  // No symbols: an '@' in an entry is a character like any other.
  fl_draw(ShownText(item).c_str(), x + 3, y, w - 6, h, FL_ALIGN_LEFT, nullptr,
          0);
}

int ListBox::item_width(void* item) const {
  fl_font(textfont(), textsize());
  return static_cast<int>(fl_width(ShownText(item).c_str())) + 6;
}

void ListBox::draw() {
  Fl_Hold_Browser::draw();
  if (Fl::focus() == this && caret >= 0 && caret < Count()) {
    int X = 0, Y = 0, W = 0, H = 0;
    bbox(X, Y, W, H);
    fl_push_clip(X, Y, W, H);
    fl_color(FL_FOREGROUND_COLOR);
    fl_line_style(FL_DOT);
    fl_rect(X, EntryTop(caret), W, EntryHeight());
    fl_line_style(0);
    fl_pop_clip();
  }
  DrawInsertionMark(*this);
}

}  // namespace tovi::fltk

namespace {

tovi::fltk::ListBox* FindList(HWND list) {
  HWND found = tovi::fltk::Find(list, RecordKind::kList);
  return found == nullptr ? nullptr
                          : static_cast<tovi::fltk::ListBox*>(found->widget);
}

bool InRange(const tovi::fltk::ListBox& list, int32_t position) {
  return position >= 0 && position < list.Count();
}

}  // namespace

HWND ToviAddListBox(HWND parent, int32_t /*style*/, int32_t /*exStyle*/,
                    int32_t id) {
  HWND window = tovi::fltk::Find(parent, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  auto* box = new tovi::fltk::ListBox();
  box->record = tovi::fltk::NewRecord(RecordKind::kList, window, id, box);
  return box->record;
}

int32_t ToviListBox_AddItem(HWND list, int32_t position,
                            const std::string& text) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr || position < -1 || position > box->Count()) return -1;
  if (position == -1) position = box->Count();
  box->entries.insert(box->entries.begin() + position, text);
  // Only marks the list for drawing: filling it entry by entry draws once.
  box->insert(position + 1, "");
  box->caret = tovi::fltk::AfterInsert(box->caret, position);
  return position;
}

ToviBool ToviListBox_RemoveItem(HWND list, int32_t position) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr || !InRange(*box, position)) return kFalse;
  box->entries.erase(box->entries.begin() + position);
  box->remove(position + 1);
  box->caret = tovi::fltk::AfterRemove(box->caret, position);
  return kTrue;
}

void ToviListBox_Clear(HWND list) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr) return;
  box->entries.clear();
  box->clear();
  box->caret = -1;
}

std::string ToviListBox_GetItem(HWND list, int32_t position) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr || !InRange(*box, position)) return std::string();
  return box->entries[static_cast<size_t>(position)];
}

int32_t ToviListBox_GetIndex(HWND list, const std::string& text) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr) return -1;
  auto match =
      std::ranges::find_if(box->entries, [&](const std::string& entry) {
        return tovi::fltk::EqualIgnoringCase(entry, text);
      });
  if (match == box->entries.end()) return -1;
  return static_cast<int32_t>(match - box->entries.begin());
}

int32_t ToviListBox_GetCount(HWND list) {
  tovi::fltk::ListBox* box = FindList(list);
  return box == nullptr ? 0 : box->Count();
}

int32_t ToviListBox_GetSelection(HWND list, std::vector<int32_t>& positions) {
  positions.clear();
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr || box->Selection() < 0) return 0;
  positions.push_back(box->Selection());
  return 1;
}

void ToviListBox_SetSelection(HWND list,
                              const std::vector<int32_t>& positions) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr) return;
  box->SelectPosition(positions.empty() ? -1 : positions.front(), false);
}

void ToviListBox_SetCaret(HWND list, int32_t position) {
  tovi::fltk::ListBox* box = FindList(list);
  if (box == nullptr || !InRange(*box, position)) return;
  box->PutCaret(position);
}
