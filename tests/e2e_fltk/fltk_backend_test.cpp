// The FLTK backend's lists and system calls, in process on the runner's X
// server (fltk_e2e exec): what the programs rely on, checked where FLTK's
// own habits differ (lines counted from 1, C strings, '@' markup).

// Before FLTK's drawing headers, whose X11 macros break it.
#include <gtest/gtest.h>

#include <FL/Fl_Image_Surface.H>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "toolkit/fltk/backend.h"
#include "toolkit/tovi.h"

namespace {

// Freed blocks of every small size full of letters: a read past the end of
// a small block finds letters to draw, not chance zeros.
void LitterTheHeap() {
  for (size_t size = 16; size <= 96; size += 8) {
    std::vector<void*> blocks(8);
    for (void*& block : blocks) {
      block = std::memset(std::malloc(size), 'W', size);
      asm volatile("" : : "g"(block) : "memory");
    }
    for (void* block : blocks) std::free(block);
  }
}

// Draws the list into an image; for each entry's row, its dark (text) pixels.
std::vector<int> InkPerRow(HWND list) {
  auto* box = static_cast<tovi::fltk::ListBox*>(tovi::fltk::Find(list)->widget);
  box->resize(0, 0, 240, 160);
  Fl_Image_Surface surface(240, 160);
  surface.set_current();
  surface.draw(box);
  std::unique_ptr<Fl_RGB_Image> image(surface.image());
  Fl_Display_Device::display_device()->set_current();
  const auto* pixels = reinterpret_cast<const unsigned char*>(image->data()[0]);
  int x = 0, y = 0, w = 0, h = 0;
  box->EntryArea(x, y, w, h);
  std::vector<int> ink(box->Count(), 0);
  for (int py = y; py < y + box->Count() * box->EntryHeight(); ++py) {
    for (int px = x; px < x + w; ++px) {
      const unsigned char* p = pixels + (py * image->w() + px) * image->d();
      ink[(py - y) / box->EntryHeight()] += p[0] + p[1] + p[2] < 3 * 128;
    }
  }
  return ink;
}

class FltkBackend : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Tovi(), 0); }

  void SetUp() override {
    window = ToviNewWindow(nullptr, "Test", -1, -1, 400, 300, 0, 0, nullptr, 0);
    list = ToviAddListBox(window, 0, 0, 4);
    button = ToviAddButton(window, "Up", 0, 0);
  }

  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int32_t i = 0; i < ToviListBox_GetCount(list); ++i) {
      entries.push_back(ToviListBox_GetItem(list, i));
    }
    return entries;
  }

  int32_t Selection() {
    std::vector<int32_t> positions;
    return ToviListBox_GetSelection(list, positions) == 1 ? positions[0] : -1;
  }

  HWND window = nullptr;
  HWND list = nullptr;
  HWND button = nullptr;
};

TEST_F(FltkBackend, PositionsCountFromZeroAndMinusOneAppends) {
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "b"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "d"), 1);
  EXPECT_EQ(ToviListBox_AddItem(list, 0, "a"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, 2, "c"), 2);
  EXPECT_EQ(ToviListBox_AddItem(list, 9, "x"), -1);
  EXPECT_EQ(ToviListBox_AddItem(list, -2, "x"), -1);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "b", "c", "d"}));

  EXPECT_EQ(ToviListBox_RemoveItem(list, 1), kTrue);
  EXPECT_EQ(ToviListBox_RemoveItem(list, 3), kFalse);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(ToviListBox_GetItem(list, 3), "");
  EXPECT_EQ(ToviListBox_GetItem(list, -1), "");

  ToviListBox_Clear(list);
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
}

TEST_F(FltkBackend, SelectionFollowsItsEntry) {
  for (const char* text : {"a", "b", "c"}) ToviListBox_AddItem(list, -1, text);
  ToviListBox_SetSelection(list, {1});
  EXPECT_EQ(Selection(), 1);
  ToviListBox_AddItem(list, 0, "first");
  EXPECT_EQ(Selection(), 2);
  ToviListBox_RemoveItem(list, 0);
  EXPECT_EQ(Selection(), 1);
  ToviListBox_RemoveItem(list, 1);
  EXPECT_EQ(Selection(), -1);
  ToviListBox_SetSelection(list, {5});
  EXPECT_EQ(Selection(), -1);
  ToviListBox_SetSelection(list, {0});
  ToviListBox_SetSelection(list, {});
  EXPECT_EQ(Selection(), -1);
}

TEST_F(FltkBackend, LookupIgnoresOnlyAsciiCaseAndFindsTheFirst) {
  for (const char* text : {"Report", "report", "\xC4rger", "Rep"}) {
    ToviListBox_AddItem(list, -1, text);
  }
  EXPECT_EQ(ToviListBox_GetIndex(list, "REPORT"), 0);
  EXPECT_EQ(ToviListBox_GetIndex(list, "rep"), 3);
  EXPECT_EQ(ToviListBox_GetIndex(list, "\xE4rger"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "\xC4RGER"), 2);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Repo"), -1);
}

TEST_F(FltkBackend, EntriesKeepEveryByte) {
  const std::string withNul("a\0b", 3);
  const std::string markup = "@b@C1 bold? & @@";
  ToviListBox_AddItem(list, -1, withNul);
  ToviListBox_AddItem(list, -1, markup);
  ToviListBox_AddItem(list, -1, "");
  EXPECT_EQ(ToviListBox_GetItem(list, 0), withNul);
  EXPECT_EQ(ToviListBox_GetItem(list, 1), markup);
  EXPECT_EQ(ToviListBox_GetIndex(list, markup), 1);
  EXPECT_EQ(ToviListBox_GetIndex(list, ""), 2);
}

TEST_F(FltkBackend, RowsShowTheirEntryAndNothingElse) {
  LitterTheHeap();
  ToviListBox_AddItem(list, -1, "");
  ToviListBox_AddItem(list, -1, "a");
  ToviListBox_AddItem(list, -1, "");
  ToviListBox_AddItem(list, -1, std::string("a\0b", 3));
  const std::vector<int> ink = InkPerRow(list);
  ASSERT_EQ(ink.size(), 4u);
  EXPECT_EQ(ink[0], 0);
  EXPECT_EQ(ink[2], 0);
  EXPECT_GT(ink[1], 0);
  // The NUL and the text after it are shown too.
  EXPECT_GT(ink[3], ink[1] * 2);
}

TEST_F(FltkBackend, TenThousandEntries) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10000; ++i) {
    ToviListBox_AddItem(list, -1, "Function" + std::to_string(i));
  }
  for (int i = 0; i < 10000; i += 97) {
    ASSERT_EQ(ToviListBox_GetIndex(list, "FUNCTION" + std::to_string(i)), i);
  }
  const auto took = std::chrono::steady_clock::now() - start;
  // Reported, not asserted: timing depends on the machine.
  std::cout
      << "10000 entries added and 104 looked up in "
      << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
      << " ms" << std::endl;
  EXPECT_EQ(ToviListBox_GetCount(list), 10000);
  EXPECT_EQ(ToviListBox_GetItem(list, 9999), "Function9999");
}

TEST_F(FltkBackend, SystemCallsFindAndEnableControls) {
  EXPECT_EQ(GetDlgItem(window, 4), list);
  EXPECT_EQ(GetDlgItem(window, 0), button);
  EXPECT_EQ(GetDlgItem(window, 7), nullptr);
  EXPECT_EQ(GetDlgItem(nullptr, 4), nullptr);
  EXPECT_EQ(GetDlgItem(list, 4), nullptr);

  EXPECT_EQ(EnableWindow(button, 0), 0);  // was enabled
  EXPECT_EQ(EnableWindow(button, 0), 1);  // was disabled
  EXPECT_EQ(EnableWindow(button, 1), 1);
  EXPECT_EQ(EnableWindow(nullptr, 1), 0);
}

TEST_F(FltkBackend, WrongHandlesAreRefused) {
  EXPECT_EQ(ToviListBox_AddItem(button, -1, "x"), -1);
  EXPECT_EQ(ToviListBox_AddItem(nullptr, -1, "x"), -1);
  EXPECT_EQ(ToviListBox_GetCount(window), 0);
  EXPECT_EQ(ToviAddButton(list, "x", 0, 9), nullptr);
  EXPECT_EQ(ToviAddListBox(nullptr, 0, 0, 9), nullptr);
}

TEST_F(FltkBackend, OnlyTheProgramsIconIsFound) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "quorlet");
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "quorlet"), icon);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "other"), nullptr);
  EXPECT_EQ(GetModuleHandleA("elsewhere"), nullptr);
}

}  // namespace
