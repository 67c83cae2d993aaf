// The program's event loop. Modal boxes and dialogs run their own while they
// are shown.
#include <algorithm>

#include "toolkit/gtk/backend.h"

int32_t ToviDoEvents(int32_t /*reserved*/) {
  // Closing the last window (the programs have one) ends the loop.
  auto anyShown = [] {
    return std::ranges::any_of(tovi::gtk::Windows(), [](HWND window) {
      return gtk_widget_get_visible(window->widget) != FALSE;
    });
  };
  while (anyShown()) gtk_main_iteration();
  return 0;
}
