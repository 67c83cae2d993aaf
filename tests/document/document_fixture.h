// A function list on the in-memory backend, a private temporary folder, and
// short ways to load bytes and look at the result.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/source_document.h"
#include "tests/temp_folder.h"
#include "toolkit/tovi.h"

// A fresh, empty folder of a document test's own.
class TempFolder : public testing_support::TempFolder {
 public:
  TempFolder() : testing_support::TempFolder("kalvane-doc-") {}
};

void WriteBytes(const std::string& path, const std::string& bytes);
inline std::string ReadBytes(const std::string& path) {
  return testing_support::ReadFileBytes(path);
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads `bytes` into `doc` and `list` through a file that is then removed.
  void Load(const std::string& bytes);
  std::vector<std::string> Entries() const;
  // The text of every line, in order.
  std::vector<std::string> Texts() const;
  std::string Saved() const { return SerializeSource(doc); }
  void Select(int32_t position);

  TempFolder folder;
  SourceDocument doc;
  HWND window = nullptr;
  HWND list = nullptr;
};
