// The program's icon resources, made from the pixels compiled in.
#include <string_view>

#include "resources/quorlet_rgba.h"
#include "toolkit/gtk/backend.h"

HICON LoadIconA(HINSTANCE module, const char* name) {
  if (module != GetModuleHandleA(nullptr) || name == nullptr ||
      std::string_view(name) != "quorlet") {
    return nullptr;
  }
  // The picture only points at the pixels, which live as long as the
  // program, and is kept for the whole run.
  static HICON__ quorlet{
      gdk_pixbuf_new_from_data(kQuorletRgba, GDK_COLORSPACE_RGB, TRUE, 8, 32,
                               32, 32 * 4, nullptr, nullptr)};
  return &quorlet;
}
