// The program's icon resources, made from the pixels compiled in.
#include <string_view>

#include "resources/quorlet_rgba.h"
#include "toolkit/fltk/backend.h"

HICON LoadIconA(HINSTANCE module, const char* name) {
  if (module != GetModuleHandleA(nullptr) || name == nullptr ||
      std::string_view(name) != "quorlet") {
    return nullptr;
  }
  // The image only points at the pixels, which live as long as the program.
  static HICON__ quorlet{
      std::make_unique<Fl_RGB_Image>(kQuorletRgba, 32, 32, 4)};
  return &quorlet;
}
