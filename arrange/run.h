// The whole of kalvane-arrange, from its arguments (UTF-8, without the
// program's name) to its exit status: 0 all fine, 1 something would change
// (--check, --diff), 2 an error.
#pragma once

#include <string>
#include <vector>

int RunArrange(const std::vector<std::string>& args);
