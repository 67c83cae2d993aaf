// The server's loop: frames in, messages out, until `exit` or the end of
// input. Returns the exit status: 0 after shutdown, 1 without.
#pragma once

#include <cstdio>

#include "lsp/framing.h"

int RunServer(ByteSource input, std::FILE* output);
