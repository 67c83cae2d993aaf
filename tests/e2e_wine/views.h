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

// What is wrong with the colours the preview shows on the screen: every
// colour its text is drawn in must read at 4.5:1 or better against its
// background, and at least `colours` of them must show; empty when all is
// well. Text is read without font smoothing (the test prefix turns it
// off), so every pixel is the background or a text colour.
std::string PreviewColoursMismatch(const Session& session, size_t colours);

// The first of the window's buttons whose caption, as the screen shows it,
// does not fit inside the button's edge, with where it reaches; empty when
// every one fits. (The button's font cannot be measured from another
// process under Wine: its handle means nothing outside the program.)
std::string ClippedButton(HWND window);

// Whether the program's context menu is up. Its items cannot be read
// from outside under Wine: a menu handle works only in its own process.
bool MenuShown(const Session& session);

}  // namespace e2e
