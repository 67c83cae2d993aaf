// Shell-style patterns, matched the same way on every platform (Windows
// has no fnmatch, and its own wildcard calls also match the short 8.3
// names, so "*.ost" would take "notes.ostx" too).
#pragma once

#include <string_view>
#include <vector>

// Whether `text` matches `pattern` as fnmatch(3) reads it with FNM_PATHNAME:
// `*` is any run of characters and `?` any one character, but neither
// matches '/'; a character is one of UTF-8, not one byte; `[abc]`, `[a-z]` and
// `[!a-z]` (or `[^a-z]`) are one character of a set; a backslash takes the next
// character literally. With `ignoreCase`, ASCII letters match either case.
bool GlobMatch(std::string_view pattern, std::string_view text,
               bool ignoreCase = false);

// Whether any of `patterns` excludes `path`, a path relative to the folder
// the patterns belong to, with '/' between names. A pattern without a slash
// is matched against every name along the path, so "build" excludes every
// folder named build and all under it, and "*.gen.ost" such files
// anywhere; a pattern with a slash (a leading "/" or "./" included) is
// matched against the path from its start, and excludes what lies under a
// folder it matches. A pattern that
// ends in '/' matches folders only; `folder` tells whether `path` is one.
bool Excluded(const std::vector<std::string_view>& patterns,
              std::string_view path, bool folder);
