// A question's text as the backends lay it out (ToviDialog_Ask): a
// headline, its first paragraph, and the explanation after the blank line
// that ends it.
#pragma once

#include <string>

namespace tovi {

struct QuestionText {
  std::string headline;
  std::string explanation;  // empty when the text is one paragraph
};

inline QuestionText SplitQuestionText(const std::string& text) {
  const size_t end = text.find("\n\n");
  if (end == std::string::npos) return {text, std::string()};
  return {text.substr(0, end), text.substr(end + 2)};
}

}  // namespace tovi
