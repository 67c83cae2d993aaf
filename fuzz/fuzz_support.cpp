#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "toolkit/memory/memory_driver.h"

namespace {

namespace fs = std::filesystem;

class Scratch {
 public:
  Scratch() {
    std::random_device random;
    do {
      path_ = fs::temp_directory_path() /
              ("kalvane-fuzz-" + std::to_string(random()));
    } while (!fs::create_directory(path_));
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const Scratch& TheScratch() {
  static const Scratch scratch;
  return scratch;
}

}  // namespace

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

std::string ScratchPath(const std::string& name) {
  return (TheScratch().path() / name).string();
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchPath(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Require(out.good(), "the scratch file could be written");
  return path;
}

std::string ReadWholeScratchFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> ScratchNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(TheScratch().path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

HWND NewFunctionList() {
  tovi::memory::Reset();
  HWND window =
      ToviNewWindow(nullptr, "Fuzz", -1, -1, 400, 300, 0, 0, nullptr, 0);
  return ToviAddListBox(window, 0, 0, 4);
}
