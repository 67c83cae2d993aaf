// Context menus: a right-click selects the entry under it and tells the
// window; a menu popped up stays up until the test chooses from it or
// closes it, as a user would.
#include "toolkit/handler_call.h"
#include "toolkit/memory/backend.h"

using tovi::memory::Find;
using tovi::memory::RecordKind;

void ToviRegOnContextMenu(HWND window, ToviContextMenuHandler handler) {
  if (HWND found = Find(window, RecordKind::kWindow)) {
    found->onContextMenu = handler;
  }
}

void ToviPopupMenu(HWND control, const std::vector<ToviMenuItem>& items,
                   ToviBool atPointer) {
  HWND found = Find(control);
  if (found == nullptr || found->parent == nullptr) return;
  tovi::memory::Backend& state = tovi::memory::State();
  state.menuOpen = true;
  state.menu = {found, items, atPointer != kFalse};
}

namespace tovi::memory {

void RightClick(HWND list, int32_t position) {
  HWND found = Find(list, RecordKind::kList);
  if (found == nullptr || !found->enabled) return;
  if (position >= 0) Select(found, position);
  if (found->parent->onContextMenu != nullptr) {
    CallHandler(found->parent->onContextMenu, found->id);
  }
}

const MenuRecord* OpenMenu() {
  return State().menuOpen ? &State().menu : nullptr;
}

bool ChooseMenuItem(const std::string& caption) {
  Backend& state = State();
  if (!state.menuOpen) return false;
  for (const ToviMenuItem& item : state.menu.items) {
    if (item.text.substr(0, item.text.find('\t')) != caption) continue;
    if (item.enabled == kFalse) return false;
    state.menuOpen = false;
    HWND window = Find(state.menu.control) == nullptr
                      ? nullptr
                      : state.menu.control->parent;
    if (window != nullptr && window->onCommand != nullptr) {
      CallHandler(window->onCommand, item.id, 0, 0);
    }
    return true;
  }
  return false;
}

void CloseMenu() {
  State().menuOpen = false;
}

}  // namespace tovi::memory
