#include "reorderer/kalvane.h"

#include "kalvane_version.h"

const char* KalvaneAbout(const std::string& argument) {
  if (argument == "--version") return "kalvane " KALVANE_VERSION_TEXT "\n";
  if (argument != "--help") return nullptr;
  return "Usage: kalvane [FILE]\n"
         "Rearranges the functions of an Ostrel source file (*.ost): lists "
         "the\nfunctions it declares, puts their bodies in the order of the "
         "declarations,\nmoves them up and down, and saves the result.\n"
         "\n"
         "  FILE       load FILE at start, as if chosen with Load\n"
         "  --help     print this help and exit\n"
         "  --version  print the version and exit\n";
}
