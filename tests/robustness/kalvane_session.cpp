#include "tests/robustness/kalvane_session.h"

#include "reorderer/kalvane.h"
#include "toolkit/memory/memory_driver.h"

namespace mem = tovi::memory;

void KalvaneSession::TearDown() {
  mem::Reset();
}

void KalvaneSession::Run(const std::function<void()>& user) {
  mem::Reset();
  mem::SetEventLoop([&] {
    window_ = mem::LastWindow();
    user();
  });
  ASSERT_EQ(RunKalvane(), 0);
}

HWND KalvaneSession::Window() const {
  return window_;
}

HWND KalvaneSession::List() const {
  return GetDlgItem(window_, kFunctionList);
}

void KalvaneSession::Load(const std::string& path) {
  mem::AnswerNextDialog(path);
  ASSERT_TRUE(mem::Click(window_, kLoadButton));
}

void KalvaneSession::Save(const std::string& path) {
  mem::AnswerNextDialog(path);
  ASSERT_TRUE(mem::Click(window_, kSaveButton));
}

void KalvaneSession::Up(int32_t position) {
  mem::Select(List(), position);
  ASSERT_TRUE(mem::Click(window_, kUpButton));
}

void KalvaneSession::Down(int32_t position) {
  mem::Select(List(), position);
  ASSERT_TRUE(mem::Click(window_, kDownButton));
}

void KalvaneSession::ExpectBoxes(size_t count, const std::string& text,
                                 const std::string& caption, UINT style) const {
  ASSERT_EQ(mem::MessageBoxes().size(), count);
  for (const mem::MessageBoxRecord& box : mem::MessageBoxes()) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.style, style);
    EXPECT_EQ(box.owner, window_);
  }
}
