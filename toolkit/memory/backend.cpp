// The backend's state, the toolkit's start and its event loop, which runs
// the test's script in place of a user.
#include "toolkit/memory/backend.h"

#include <utility>

namespace tovi::memory {

Backend& State() {
  static Backend state;
  return state;
}

HWND NewRecord(RecordKind kind, HWND parent, int32_t id, std::string text) {
  Backend& state = State();
  auto record = std::make_unique<HWND__>();
  record->kind = kind;
  record->parent = parent;
  record->id = id;
  record->text = std::move(text);
  HWND handle = record.get();
  state.records.push_back(std::move(record));
  state.live.insert(handle);
  if (parent != nullptr) parent->controls.push_back(handle);
  return handle;
}

HWND Find(HWND handle) {
  return handle != nullptr && State().live.contains(handle) ? handle : nullptr;
}

HWND Find(HWND handle, RecordKind kind) {
  HWND found = Find(handle);
  return found != nullptr && found->kind == kind ? found : nullptr;
}

void Reset() {
  State() = Backend{};
  ResetLayout();
}

void SetEventLoop(std::function<void()> script) {
  State().eventLoop = std::move(script);
}

HWND LastWindow() {
  return State().lastWindow;
}

}  // namespace tovi::memory

int32_t Tovi() {
  return 0;
}

int32_t ToviDoEvents(int32_t /*reserved*/) {
  // Taken out first: the script may set the loop of a later ToviDoEvents.
  std::function<void()> script =
      std::exchange(tovi::memory::State().eventLoop, nullptr);
  if (script) script();
  return 0;
}
