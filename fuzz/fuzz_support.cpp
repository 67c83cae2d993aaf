#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "tests/temp_folder.h"
#include "toolkit/memory/memory_driver.h"

namespace {

const testing_support::TempFolder& TheScratch() {
  static const testing_support::TempFolder scratch("kalvane-fuzz-");
  return scratch;
}

}  // namespace

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

std::string ScratchPath(const std::string& name) {
  return TheScratch().File(name);
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchPath(name);
  Require(testing_support::WriteFileBytes(path, bytes),
          "the scratch file could be written");
  return path;
}

std::string ReadWholeScratchFile(const std::string& path) {
  return testing_support::ReadFileBytes(path);
}

std::vector<std::string> ScratchNames() {
  return TheScratch().Names();
}

HWND NewFunctionList() {
  tovi::memory::Reset();
  HWND window =
      ToviNewWindow(nullptr, "Fuzz", -1, -1, 400, 300, 0, 0, nullptr, 0);
  return ToviAddListBox(window, 0, 0, 4);
}
