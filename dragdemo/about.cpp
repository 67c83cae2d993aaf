#include "dragdemo/listdrag.h"

#include "kalvane_version.h"

const char* ListdragAbout(const std::string& argument) {
  if (argument == "--version") return "listdrag " KALVANE_VERSION_TEXT "\n";
  if (argument != "--help") return nullptr;
  return "Usage: listdrag\n"
         "Shows a list of 100 entries that you reorder by dragging: press on "
         "an entry,\ndrag it and release it on another; it is put in front "
         "of that one.\n"
         "\n"
         "  --help     print this help and exit\n"
         "  --version  print the version and exit\n";
}
