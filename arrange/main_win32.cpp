#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "arrange/options.h"
#include "arrange/run.h"

namespace {

// The UTF-8 of an argument; false when it is no valid UTF-16 (half of a
// surrogate pair), which no path and no option can hold. With `lossy`, such
// a half becomes U+FFFD instead, to show the argument in a message.
bool Utf8(const wchar_t* wide, std::string& text, bool lossy) {
  const DWORD flags = lossy ? 0 : WC_ERR_INVALID_CHARS;
  const int length = WideCharToMultiByte(CP_UTF8, flags, wide, -1, nullptr, 0,
                                         nullptr, nullptr);
  if (length <= 0) return false;
  text.assign(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(CP_UTF8, flags, wide, -1, text.data(), length,
                          nullptr, nullptr) != length) {
    return false;
  }
  text.resize(static_cast<size_t>(length - 1));
  return true;
}

}  // namespace

// The arguments come in UTF-16, since the narrow command line holds only
// what the ANSI code page can spell, and a path may need any character.
int wmain(int argc, wchar_t** argv) {
  // Files travel through standard input and output byte for byte; text for
  // a console goes as UTF-16 (WriteText), so its code page is left alone.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg;
    if (!Utf8(argv[i], arg, false)) {
      // Dropping or mending the argument would arrange some other path.
      Utf8(argv[i], arg, true);
      return UsageError("argument " + std::to_string(i) + " (" + arg +
                        ") is no valid text");
    }
    args.push_back(std::move(arg));
  }
  const int status = RunArrange(args);
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}
