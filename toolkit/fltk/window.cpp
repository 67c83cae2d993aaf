// Top-level windows: creation, layout on resize, handlers and display.
#include <FL/Fl.H>

#include <algorithm>
#include <cerrno>

#include "toolkit/fltk/backend.h"
#include "toolkit/series_layout.h"

namespace tovi::fltk {

TopWindow::TopWindow(int w, int h) : Fl_Double_Window(w, h) {
  // Controls are added to the window explicitly, never through FLTK's
  // "current group", so that nothing else ends up inside it by accident.
  end();
  resizable(this);
  size_range(1, 1);
  // Closing the window ends the program; Escape, which FLTK also routes to
  // this callback, must not.
  callback([](Fl_Widget* widget, void*) {
    if (Fl::event() == FL_CLOSE) widget->hide();
  });
}

void TopWindow::resize(int x, int y, int w, int h) {
  Fl_Double_Window::resize(x, y, w, h);
  ApplyLayout();
}

void TopWindow::ApplyLayout() {
  if (record == nullptr) return;  // still being made
  for (const Placement& placement : LayoutWindow(record, w(), h())) {
    HWND control = Find(placement.control);
    if (control == nullptr || control->parent != record) continue;
    const Rect& r = placement.bounds;
    control->widget->resize(r.x, r.y, r.width, r.height);
  }
  redraw();
}

int TopWindow::handle(int event) {
  // The group moves the focus on Tab and the arrow keys that the focused
  // control left unused; without the dialog interface the focus stays put.
  if (event == FL_KEYBOARD && record != nullptr && !record->dialogInterface) {
    return 0;
  }
  return Fl_Double_Window::handle(event);
}

void PlaceOver(Fl_Window& box, HWND owner) {
  HWND window = Find(owner);
  while (window != nullptr && window->parent != nullptr) {
    window = window->parent;
  }
  int X = 0, Y = 0, W = 0, H = 0;
  Fl::screen_work_area(X, Y, W, H);
  int x = X + (W - box.w()) / 2;
  int y = Y + (H - box.h()) / 2;
  if (window != nullptr && window->widget->visible()) {
    const Fl_Widget& over = *window->widget;
    x = over.x() + (over.w() - box.w()) / 2;
    y = over.y() + (over.h() - box.h()) / 2;
  }
  // Never off the screen, even over a window smaller than the box.
  box.position(std::clamp(x, X, std::max(X, X + W - box.w())),
               std::clamp(y, Y, std::max(Y, Y + H - box.h())));
}

}  // namespace tovi::fltk

using tovi::fltk::Find;
using tovi::fltk::TopWindow;

HWND ToviNewWindow(HWND /*parent*/, const std::string& title, int32_t /*x*/,
                   int32_t /*y*/, int32_t width, int32_t height,
                   int32_t /*style*/, int32_t /*exStyle*/, HICON icon,
                   int32_t /*reserved*/) {
  auto* window = new TopWindow(width > 0 ? width : 1, height > 0 ? height : 1);
  HWND record = tovi::fltk::NewRecord(RecordKind::kWindow, nullptr, -1, window);
  window->record = record;
  window->copy_label(title.c_str());
  // The window class names the program, so a desktop finds its launcher.
  window->xclass(program_invocation_short_name);
  if (icon != nullptr && icon->image != nullptr) {
    window->icon(icon->image.get());
  }
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
  auto* top = static_cast<TopWindow*>(found->widget);
  top->ApplyLayout();
  top->show();
}
