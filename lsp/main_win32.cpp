#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "lsp/run.h"

// The protocol is bytes: standard input and output must not turn line
// endings into CRLF and back, or every Content-Length would be wrong.
int main() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  return RunServer(
      [](char* buffer, size_t size) -> size_t {
        const int got = _read(0, buffer, static_cast<unsigned>(size));
        return got > 0 ? static_cast<size_t>(got) : 0;
      },
      stdout);
}
