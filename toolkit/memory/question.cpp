// Questions answer from the queue a test filled, by the caption of the
// button pressed; each is recorded. Like a real dialog, one ends a drag
// that holds the button.
#include <algorithm>

#include "toolkit/memory/backend.h"

int32_t ToviDialog_Ask(HWND owner, const std::string& caption,
                       const std::string& text,
                       const std::vector<std::string>& buttons,
                       int32_t defaultButton, int32_t cancelButton) {
  tovi::memory::CancelHeldDrag();
  tovi::memory::Backend& state = tovi::memory::State();
  tovi::memory::QuestionRecord record{owner,        caption,       text,
                                      buttons,      defaultButton, cancelButton,
                                      cancelButton, false};
  if (!state.questionAnswers.empty()) {
    tovi::memory::Backend::QueuedAnswer answer =
        std::move(state.questionAnswers.front());
    state.questionAnswers.pop_front();
    if (answer.whileAsked) answer.whileAsked();
    const auto found = std::ranges::find(buttons, answer.button);
    if (found != buttons.end()) {
      record.pressed = static_cast<int32_t>(found - buttons.begin());
      record.answered = true;
    }
  }
  state.questions.push_back(record);
  return record.pressed;
}

namespace tovi::memory {

void AnswerNextQuestion(const std::string& button,
                        std::function<void()> whileAsked) {
  State().questionAnswers.push_back({button, std::move(whileAsked)});
}

const std::vector<QuestionRecord>& Questions() {
  return State().questions;
}

}  // namespace tovi::memory
