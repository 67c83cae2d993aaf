#include "arrange/console.h"

#include <unistd.h>

void WriteText(std::FILE* stream, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) == 1;
}
