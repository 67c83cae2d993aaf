// The end-to-end driver's entry point.
//   wine_driver play SCENARIO BIN_DIR DATA_DIR
//   wine_driver keyboard BIN_DIR DATA_DIR
//   wine_driver pose kalvane|listdrag BIN_DIR DATA_DIR READY DONE
// Paths may be Unix paths; Wine reaches them through drive Z:.
#include <iostream>

#include "tests/e2e_wine/player.h"
#include "tests/temp_folder.h"

namespace {

namespace fs = std::filesystem;

fs::path FromArgument(const wchar_t* argument) {
  std::wstring path = argument;
  return path.starts_with(L"/") ? fs::path(L"Z:" + path) : fs::path(path);
}

int Usage() {
  std::cerr << "usage: wine_driver play SCENARIO BIN DATA | keyboard BIN DATA"
               " | pose PROGRAM BIN DATA READY DONE\n";
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  // Positions and sizes read from the programs' windows, and the pointer's
  // moves at the X server, are then all in the screen's own pixels, at any
  // DPI the prefix is set to.
  SetProcessDPIAware();
  const std::wstring command = argv[1];
  try {
    // A fresh folder of the run's own, removed with what the program left.
    testing_support::TempFolder folder("kalvane-e2e-");
    auto programs = [&](int first) {
      fs::path bin = FromArgument(argv[first]);
      return e2e::Programs{bin / "kalvane.exe", bin / "listdrag.exe",
                           FromArgument(argv[first + 1])};
    };
    if (command == L"play" && argc == 5) {
      e2e::PlayScenario(FromArgument(argv[2]), programs(3), folder.path());
    } else if (command == L"keyboard" && argc == 4) {
      e2e::WalkKeyboard(programs(2), folder.path());
    } else if (command == L"pose" && argc == 7) {
      e2e::Pose(e2e::Utf8(argv[2]), programs(3), folder.path(),
                FromArgument(argv[5]), FromArgument(argv[6]));
    } else {
      return Usage();
    }
  } catch (const std::exception& failure) {
    std::cerr << "FAILED: " << failure.what() << "\n";
    return 1;
  }
  std::cout << "passed\n";
  return 0;
}
