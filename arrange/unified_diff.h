// A unified diff between a file's bytes and what it would become.
#pragma once

#include <string>
#include <string_view>

// The diff of `before` into `after`, both the bytes of a file named `path`,
// headed "--- PATH" and "+++ PATH", so that `patch -p0` applies it from the
// folder the run was started in. Lines keep their own terminators (a CRLF
// file's diff has CRLF lines); a last line without one is followed by the
// usual "\ No newline at end of file". Empty when the bytes are equal.
std::string UnifiedDiff(const std::string& path, std::string_view before,
                        std::string_view after);

// `diff`, one file's UnifiedDiff, coloured for a terminal as diff tools do:
// the header bold, hunk heads cyan, removed lines red, added lines green.
// Each colour ends before its line's line feed.
std::string ColorDiff(std::string_view diff);
