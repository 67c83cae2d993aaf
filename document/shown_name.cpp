#include "document/shown_name.h"

#include "toolkit/shown_text.h"

std::string ShownName(std::string_view name) {
  constexpr size_t kMostCharacters = 200;
  return tovi::ShownText(name, kMostCharacters);
}
