// kalvane run whole on the in-memory backend, in a folder of its own, with
// short ways to act as the user and to see what the user would see.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tests/document/document_fixture.h"
#include "toolkit/tovi.h"

class KalvaneSession : public ::testing::Test {
 protected:
  void TearDown() override;

  // Starts kalvane afresh, with `user` acting inside its event loop; what
  // the user saw stays to be looked at until the next run.
  void Run(const std::function<void()>& user);

  std::string Path(const std::string& name) const { return folder.File(name); }
  HWND Window() const;
  HWND List() const;

  // The user presses Load or Save and picks `path` in the file dialog.
  void Load(const std::string& path);
  void Save(const std::string& path);
  // The user selects the function at `position` and presses Up or Down.
  void Up(int32_t position);
  void Down(int32_t position);

  // Exactly `count` message boxes were shown, each `text` with `caption`
  // and `style`, owned by the main window.
  void ExpectBoxes(size_t count, const std::string& text,
                   const std::string& caption, UINT style) const;
  void ExpectNoBoxes() const { ExpectBoxes(0, "", "", 0); }
  void ExpectOneSaveError() const {
    ExpectBoxes(1, "Cannot save file", "Error", MB_ICONERROR);
  }
  void ExpectOneLoadError() const {
    ExpectBoxes(1, "Cannot open file", "Error", MB_ICONERROR);
  }

  TempFolder folder;

 private:
  HWND window_ = nullptr;
};
