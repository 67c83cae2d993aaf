// Top-level windows: creation, handlers, display, layout, and what a test
// can see of them.
#include <algorithm>

#include "toolkit/memory/backend.h"

namespace tovi::memory {
namespace {

HWND FindWindow(HWND handle) {
  return Find(handle, RecordKind::kWindow);
}

}  // namespace

void Resize(HWND window, int32_t width, int32_t height) {
  HWND found = FindWindow(window);
  if (found == nullptr) return;
  found->clientWidth = std::max(width, 0);
  found->clientHeight = std::max(height, 0);
}

Rect Bounds(HWND control) {
  HWND found = Find(control);
  if (found == nullptr || found->parent == nullptr) return Rect{};
  HWND window = found->parent;
  for (const Placement& placement :
       LayoutWindow(window, window->clientWidth, window->clientHeight)) {
    if (placement.control == found) return placement.bounds;
  }
  return Rect{};
}

Rect ClientSize(HWND window) {
  HWND found = FindWindow(window);
  if (found == nullptr) return Rect{};
  return Rect{0, 0, found->clientWidth, found->clientHeight};
}

bool IsDisplayed(HWND window) {
  HWND found = FindWindow(window);
  return found != nullptr && found->displayed;
}

bool DialogInterfaceEnabled(HWND window) {
  HWND found = FindWindow(window);
  return found != nullptr && found->dialogInterface;
}

std::string Text(HWND windowOrControl) {
  HWND found = Find(windowOrControl);
  return found == nullptr ? std::string() : found->text;
}

int32_t ControlId(HWND control) {
  HWND found = Find(control);
  return found == nullptr ? -1 : found->id;
}

std::vector<HWND> Controls(HWND window) {
  HWND found = FindWindow(window);
  return found == nullptr ? std::vector<HWND>() : found->controls;
}

bool IsList(HWND control) {
  return Find(control, RecordKind::kList) != nullptr;
}

bool IsButton(HWND control) {
  return Find(control, RecordKind::kButton) != nullptr;
}

bool IsEnabled(HWND control) {
  HWND found = Find(control);
  return found != nullptr && found->enabled;
}

std::string IconName(HWND window) {
  HWND found = FindWindow(window);
  return found == nullptr ? std::string() : found->iconName;
}

}  // namespace tovi::memory

using tovi::memory::Find;
using tovi::memory::RecordKind;

HWND ToviNewWindow(HWND /*parent*/, const std::string& title, int32_t /*x*/,
                   int32_t /*y*/, int32_t width, int32_t height,
                   int32_t /*style*/, int32_t /*exStyle*/, HICON icon,
                   int32_t /*reserved*/) {
  HWND window =
      tovi::memory::NewRecord(RecordKind::kWindow, nullptr, -1, title);
  window->clientWidth = std::max(width, 0);
  window->clientHeight = std::max(height, 0);
  window->iconName = tovi::memory::IconResourceName(icon);
  tovi::memory::State().lastWindow = window;
  tovi::RegisterLayoutWindow(window);
  return window;
}

void ToviRegOnCommand(HWND window, ToviCommandHandler handler) {
  if (HWND found = Find(window, RecordKind::kWindow))
    found->onCommand = handler;
}

void ToviRegOnDrag(HWND window, ToviDragHandler handler) {
  if (HWND found = Find(window, RecordKind::kWindow)) found->onDrag = handler;
}

void ToviEnableDialogInterface(HWND window, ToviBool enable) {
  if (HWND found = Find(window, RecordKind::kWindow)) {
    found->dialogInterface = enable != kFalse;
  }
}

void ToviDisplay(HWND window) {
  if (HWND found = Find(window, RecordKind::kWindow)) found->displayed = true;
}
