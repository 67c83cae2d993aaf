#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "arrange/run.h"

namespace {

std::string Utf8(const wchar_t* wide) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr,
                      nullptr);
  text.resize(static_cast<size_t>(length - 1));
  return text;
}

}  // namespace

// The arguments come in UTF-16, since the narrow command line holds only
// what the ANSI code page can spell, and a path may need any character.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8(argv[i]));
  // Files travel through standard input and output byte for byte, and the
  // reports name paths in UTF-8, which the console is told to expect. The
  // console outlives the program, so its code page is given back after.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const UINT codePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  const int status = RunArrange(args);
  std::fflush(stdout);
  std::fflush(stderr);
  if (codePage != 0) SetConsoleOutputCP(codePage);
  return status;
}
