#include <unistd.h>

#include <cstdio>

#include "lsp/run.h"

int main() {
  // Unbuffered reads: a message must be answered as soon as it is whole,
  // not once more input arrives behind it.
  return RunServer(
      [](char* buffer, size_t size) -> size_t {
        const ssize_t got = read(0, buffer, size);
        return got > 0 ? static_cast<size_t>(got) : 0;
      },
      stdout);
}
