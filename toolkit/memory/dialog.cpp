// File dialogs answer from the queue a test filled; message boxes are
// recorded and answered with OK (in system.cpp). Nothing here is shown.
// Either ends a drag that holds the button, as a real dialog takes the
// pointer.
#include "toolkit/memory/backend.h"

namespace {

std::string Answer(tovi::memory::DialogRecord record) {
  tovi::memory::CancelHeldDrag();
  tovi::memory::Backend& state = tovi::memory::State();
  state.dialogs.push_back(std::move(record));
  if (state.dialogAnswers.empty()) return std::string();
  std::string answer = std::move(state.dialogAnswers.front());
  state.dialogAnswers.pop_front();
  return answer;
}

}  // namespace

std::string ToviDialog_OpenFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName, int32_t flags) {
  return Answer({false, parent, title, filter, initialName, flags});
}

std::string ToviDialog_SaveFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                ToviBool confirmReplace) {
  return Answer({true, parent, title, filter, initialName, confirmReplace});
}

namespace tovi::memory {

void AnswerNextDialog(const std::string& path) {
  State().dialogAnswers.push_back(path);
}

const std::vector<DialogRecord>& Dialogs() {
  return State().dialogs;
}

const std::vector<MessageBoxRecord>& MessageBoxes() {
  return State().messageBoxes;
}

}  // namespace tovi::memory
