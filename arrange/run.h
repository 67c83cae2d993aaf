// The whole of kalvane-arrange, from its arguments (UTF-8, without the
// program's name) to its exit status: 0 all fine, 1 something would change
// (--check, --diff) or changed (--exit-nonzero-on-change), 2 a wrong command
// line, 3 a file refused, unreadable or unwritable, or a tree left alone
// for want of git's ignore rules (which outweighs 1).
#pragma once

#include <string>
#include <vector>

int RunArrange(const std::vector<std::string>& args);
