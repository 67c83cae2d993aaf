// Modal message boxes: a title, an icon that says how serious the message
// is, the text exactly as given, and a row of buttons.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "toolkit/fltk/backend.h"

namespace tovi::fltk {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 28;
constexpr int kTextWrap = 420;
constexpr Fl_Fontsize kTextSize = 14;

// The system's icons, drawn: a red disc with a cross for an error, an amber
// triangle with "!" for a warning, a blue disc with "i" or "?" otherwise.
class IconView : public Fl_Widget {
 public:
  IconView(int x, int y, BoxIcon icon)
      : Fl_Widget(x, y, kIconSize, kIconSize), icon_(icon) {}

  void draw() override {
    const int X = x();
    const int Y = y();
    const int S = kIconSize;
    if (icon_ == BoxIcon::kWarning) {
      fl_color(fl_rgb_color(240, 180, 20));
      fl_polygon(X + S / 2, Y + 1, X + S - 1, Y + S - 2, X, Y + S - 2);
      fl_color(FL_BLACK);
      fl_loop(X + S / 2, Y + 1, X + S - 1, Y + S - 2, X, Y + S - 2);
      DrawMark("!", Y + 4);
      return;
    }
    fl_color(icon_ == BoxIcon::kError ? fl_rgb_color(200, 30, 30)
                                      : fl_rgb_color(30, 90, 200));
    fl_pie(X, Y, S, S, 0, 360);
    if (icon_ == BoxIcon::kError) {
      fl_color(FL_WHITE);
      fl_line_style(FL_SOLID | FL_CAP_ROUND, 3);
      fl_line(X + 10, Y + 10, X + S - 11, Y + S - 11);
      fl_line(X + S - 11, Y + 10, X + 10, Y + S - 11);
      fl_line_style(0);
      return;
    }
    DrawMark(icon_ == BoxIcon::kQuestion ? "?" : "i", Y);
  }

 private:
  void DrawMark(const char* mark, int top) {
    fl_color(icon_ == BoxIcon::kWarning ? FL_BLACK : FL_WHITE);
    fl_font(FL_HELVETICA_BOLD, 20);
    fl_draw(mark, x(), top, kIconSize, kIconSize, FL_ALIGN_CENTER, nullptr, 0);
  }

  BoxIcon icon_;
};

// The message itself: drawn without FLTK's '@' symbols or '&' shortcuts, so
// a file name shows as it is.
class TextView : public Fl_Widget {
 public:
  TextView(int x, int y, int w, int h, std::string text)
      : Fl_Widget(x, y, w, h), text_(std::move(text)) {}

  void draw() override {
    fl_font(FL_HELVETICA, kTextSize);
    fl_color(FL_FOREGROUND_COLOR);
    fl_draw(text_.c_str(), x(), y(), w(), h(),
            FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP,
            nullptr, 0);
  }

 private:
  std::string text_;
};

struct Answer {
  Fl_Window* box;
  int index;
  int* chosen;
};

}  // namespace

int ShowBox(HWND owner, const std::string& caption, const std::string& text,
            BoxIcon icon, const std::vector<std::string>& buttons,
            int defaultIndex, int cancelIndex) {
  fl_font(FL_HELVETICA, kTextSize);
  int textWidth = kTextWrap;
  int textHeight = 0;
  fl_measure(text.c_str(), textWidth, textHeight, 0);
  const int iconSpace = icon == BoxIcon::kNone ? 0 : kIconSize + kMargin;
  const int count = static_cast<int>(buttons.size());
  const int rowWidth = count * kButtonWidth + (count - 1) * kMargin / 2;
  const int width =
      std::max({iconSpace + textWidth, rowWidth, 200}) + 2 * kMargin;
  const int bodyHeight =
      std::max(textHeight, icon == BoxIcon::kNone ? 0 : kIconSize);
  const int height = kMargin + bodyHeight + 2 * kMargin + kButtonHeight;

  Fl_Window box(width, height, caption.c_str());
  int chosen = cancelIndex;
  // Closing the box or pressing Escape answers with the cancel button.
  box.callback([](Fl_Widget* widget, void*) { widget->hide(); });
  if (icon != BoxIcon::kNone) new IconView(kMargin, kMargin, icon);
  new TextView(kMargin + iconSpace,
               kMargin + std::max(0, (bodyHeight - textHeight) / 2), textWidth,
               textHeight, text);
  std::vector<Answer> answers(buttons.size());
  std::vector<PushButton*> views;
  int left = width - kMargin - rowWidth;
  for (int i = 0; i < count; ++i) {
    auto* button = new PushButton(left, height - kMargin - kButtonHeight,
                                  kButtonWidth, kButtonHeight);
    button->copy_label(buttons[static_cast<size_t>(i)].c_str());
    answers[static_cast<size_t>(i)] = Answer{&box, i, &chosen};
    button->callback(
        [](Fl_Widget*, void* data) {
          auto* answer = static_cast<Answer*>(data);
          *answer->chosen = answer->index;
          answer->box->hide();
        },
        &answers[static_cast<size_t>(i)]);
    views.push_back(button);
    left += kButtonWidth + kMargin / 2;
  }
  box.end();
  PlaceOver(box, owner);
  Fl_Widget* focus = defaultIndex >= 0 && defaultIndex < count
                         ? views[static_cast<size_t>(defaultIndex)]
                         : nullptr;
  RunModal(box, focus);
  return chosen;
}

}  // namespace tovi::fltk

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
  // As the system does, a box without a caption is titled "Error".
  const std::string title = caption == nullptr ? "Error" : caption;
  const std::string message = text == nullptr ? "" : text;
  tovi::fltk::BoxIcon icon = tovi::fltk::BoxIcon::kNone;
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      icon = tovi::fltk::BoxIcon::kError;
      break;
    case 0x20u:
      icon = tovi::fltk::BoxIcon::kQuestion;
      break;
    case MB_ICONWARNING:
      icon = tovi::fltk::BoxIcon::kWarning;
      break;
    case 0x40u:
      icon = tovi::fltk::BoxIcon::kInformation;
      break;
    default:
      break;
  }
  tovi::fltk::NoteShown("message", title, message);
  // Only the OK box is offered: the programs show no other kind.
  tovi::fltk::ShowBox(owner, title, message, icon, {"OK"}, 0, 0);
  return IDOK;
}
