// What the driver reads of kalvane's preview window and context menu.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e_wine/driver.h"

namespace e2e {

// The lines the preview shows, each as `expect-preview` compares it;
// nullopt while it is hidden.
std::optional<std::vector<std::string>> PreviewLines(const Session& session);

// Whether the program's context menu is up. Its items cannot be read
// from outside under Wine: a menu handle works only in its own process.
bool MenuShown(const Session& session);

}  // namespace e2e
