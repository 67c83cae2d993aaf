// Reads the whole-program scenario files (see FORMAT.md next to this file).
// Every runner, whatever backend it drives, reads them through this.
#pragma once

#include <string>
#include <vector>

namespace scenario {

struct Step {
  int line = 0;                   // in the file, from 1
  std::string verb;               // "load", "expect-list", ...
  std::vector<std::string> args;  // the words after the verb
  std::string rest;               // everything after the verb and one space
};

struct Scenario {
  std::string program;  // "kalvane" or "listdrag"
  std::vector<Step> steps;
};

// A key pressed with modifiers, as a `key` step writes it: "alt+Up",
// "ctrl+shift+Z", "F3". The key is Up, Down, Home, End or a capital letter
// held with Ctrl or Alt, or F3, F10 or Menu held with anything or nothing.
struct Chord {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  std::string key;
};

// Throws std::runtime_error for a chord written any other way.
Chord ParseChord(const std::string& text);

// Parses the file at `path`. Throws std::runtime_error naming the file and
// line for anything malformed, so a typo fails loudly instead of testing
// less than it says.
Scenario Load(const std::string& path);

// Every *.scenario file in `folder`, sorted by name.
std::vector<std::string> List(const std::string& folder);

// A context menu item as `expect-menu` writes it: the caption, then the
// shortcut in brackets when the item shows one, a colon and "on" or "off".
// `caption` is the menu's own, a TAB before its shortcut.
std::string MenuItemText(const std::string& caption, bool enabled);

// A preview line as `expect-preview` compares it: without the spaces that
// pad its line number, nor those that end it.
std::string PreviewLine(const std::string& line);

// Splits `text` at every `separator`; an empty text gives no pieces.
std::vector<std::string> Split(const std::string& text, char separator);

}  // namespace scenario
