#include "tests/document/document_fixture.h"

#include <algorithm>

#include "toolkit/memory/memory_driver.h"

void WriteBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(testing_support::WriteFileBytes(path, bytes)) << path;
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
