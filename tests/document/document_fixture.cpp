#include "tests/document/document_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "toolkit/memory/memory_driver.h"

namespace {

// Paths in the document's interface are UTF-8 on every platform; the
// standard library would read a narrow path in the system's code page.
std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

TempFolder::TempFolder() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  do {
    path_ = base / ("kalvane-doc-" + std::to_string(random()));
  } while (!std::filesystem::create_directory(path_));
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::File(const std::string& name) const {
  return ToUtf8(path_ / FromUtf8(name));
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(ToUtf8(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(FromUtf8(path), std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(FromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void DocumentTest::SetUp() {
  tovi::memory::Reset();
  window = ToviNewWindow(nullptr, "Test", -1, -1, 400, 300, 0, 0, nullptr, 0);
  list = ToviAddListBox(window, 0, 0, 4);
}

void DocumentTest::TearDown() {
  tovi::memory::Reset();
}

void DocumentTest::Load(const std::string& bytes) {
  // The file goes once the document holds its bytes. Rewriting or replacing
  // one file again and again makes some file systems flush it each time,
  // which would slow the many loads of a property test down.
  const std::string path = folder.File("source.ost");
  WriteBytes(path, bytes);
  ASSERT_EQ(LoadSource(doc, list, path), kTrue);
  std::filesystem::remove(path);
}

std::vector<std::string> DocumentTest::Entries() const {
  return tovi::memory::Entries(list);
}

std::vector<std::string> DocumentTest::Texts() const {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < doc.lineCount; ++i) {
    texts.emplace_back(doc.Text(i));
  }
  return texts;
}

void DocumentTest::Select(int32_t position) {
  tovi::memory::Select(list, position);
}
