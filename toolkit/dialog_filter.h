// The file-type filter of the file dialogs, in the form the programs pass it:
// pairs of NUL-terminated texts (a description, then patterns separated by
// ';') closed by one more NUL, e.g.
//   "Ostrel source files (*.ost)\0*.ost\0All Files (*.*)\0*.*\0\0".
// Backends without a native filter of that form (GTK) read it with these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovi {

struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;  // never empty
};

// The filters in order. Parsing stops at an empty text (the closing NUL) or
// the end of the input, so a missing closing NUL is tolerated. Spaces around
// a pattern are dropped, and so are empty patterns; a description left
// without any pattern is ignored.
std::vector<FileFilter> ParseDialogFilter(std::string_view filter);

// Whether `fileName` (a name, not a path) matches a pattern of '*' (any run
// of characters) and '?' (any one character), ignoring ASCII letter case as
// Windows does. As on Windows, a pattern ending in ".*" also matches a name
// without that dot: "*.*" matches every name and "notes.*" matches "notes".
bool MatchesFilterPattern(std::string_view fileName, std::string_view pattern);

// Whether `fileName` matches any of the filter's patterns.
bool MatchesFilter(const FileFilter& filter, std::string_view fileName);

}  // namespace tovi
