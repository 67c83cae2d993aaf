// A fresh, empty folder of a test's own, removed with everything in it, and
// whole-file reads and writes. Shared by the unit tests, the fuzz targets and
// the end-to-end drivers; paths are UTF-8 on every platform, as in the
// programs themselves.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace testing_support {

// The standard library would read a narrow path in the system's code page.
inline std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string ToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

class TempFolder {
 public:
  // The folder is made under the system's temporary folder, named `prefix`
  // and a random number that no other folder there has.
  explicit TempFolder(const std::string& prefix) {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {
      path_ = base / (prefix + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // The UTF-8 path of `name` (itself UTF-8) in the folder.
  std::string File(const std::string& name) const {
    return ToUtf8(path_ / FromUtf8(name));
  }

  // Names of everything in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(ToUtf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

// Replaces the file at the UTF-8 `path` with `bytes`; false when that failed.
inline bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(FromUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

// The whole file at the UTF-8 `path`; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(FromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testing_support
