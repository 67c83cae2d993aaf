// The toolkit's start and its event loops: the program's own, and the one
// every modal box and dialog runs while it is shown.
#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdlib>

#include "toolkit/fltk/backend.h"

namespace tovi::fltk {

void RunWhileShown(const std::function<bool()>& shown) {
  while (shown()) {
    Fl::wait();
    WriteProbe();
  }
}

void RunModal(Fl_Window& window, Fl_Widget* focus) {
  window.set_modal();
  window.show();
  if (focus != nullptr) focus->take_focus();
  RunWhileShown([&] { return window.shown() != 0; });
}

}  // namespace tovi::fltk

int32_t Tovi() {
  // Without a display FLTK would end the program itself; a non-zero result
  // lets the program end on its own terms instead.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return 1;
  fl_open_display();
  Fl::scheme("gtk+");
  tovi::fltk::StartProbe();
  tovi::fltk::StartKeyHandling();
  return 0;
}

int32_t ToviDoEvents(int32_t /*reserved*/) {
  tovi::fltk::WriteProbe();
  // Closing the last window (the programs have one) ends the loop.
  tovi::fltk::RunWhileShown([] { return Fl::first_window() != nullptr; });
  return 0;
}
