// Text windows: the text and spans last set, and whether the window is
// shown, for a test to read as a screen reader would.
#include <algorithm>

#include "toolkit/memory/backend.h"

using tovi::memory::Find;
using tovi::memory::RecordKind;

HWND ToviNewTextWindow(HWND owner, const std::string& title, int32_t width,
                       int32_t height) {
  HWND window = Find(owner, RecordKind::kWindow);
  if (window == nullptr) return nullptr;
  // Owned, not placed: it is no control of its owner's.
  HWND view =
      tovi::memory::NewRecord(RecordKind::kTextWindow, nullptr, -1, title);
  view->parent = window;
  view->clientWidth = std::max(width, 0);
  view->clientHeight = std::max(height, 0);
  return view;
}

void ToviTextWindow_SetText(HWND view, const std::string& text,
                            const std::vector<ToviTextSpan>& spans) {
  if (HWND found = Find(view, RecordKind::kTextWindow)) {
    found->content = text;
    found->spans = spans;
  }
}

void ToviTextWindow_Show(HWND view, ToviBool show) {
  if (HWND found = Find(view, RecordKind::kTextWindow)) {
    found->displayed = show != kFalse;
  }
}

ToviBool ToviTextWindow_IsShown(HWND view) {
  HWND found = Find(view, RecordKind::kTextWindow);
  return found != nullptr && found->displayed ? kTrue : kFalse;
}

namespace tovi::memory {

std::vector<HWND> TextWindows(HWND owner) {
  std::vector<HWND> owned;
  for (const auto& record : State().records) {
    if (record->kind == RecordKind::kTextWindow && record->parent == owner) {
      owned.push_back(record.get());
    }
  }
  return owned;
}

std::string Content(HWND textWindow) {
  HWND found = Find(textWindow, RecordKind::kTextWindow);
  return found == nullptr ? std::string() : found->content;
}

std::vector<ToviTextSpan> Spans(HWND textWindow) {
  HWND found = Find(textWindow, RecordKind::kTextWindow);
  return found == nullptr ? std::vector<ToviTextSpan>() : found->spans;
}

bool IsShown(HWND textWindow) {
  return ToviTextWindow_IsShown(textWindow) != kFalse;
}

}  // namespace tovi::memory
