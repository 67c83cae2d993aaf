#include "tests/scenarios/scenario.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

namespace scenario {
namespace {

const std::set<std::string> kVerbs = {"program",
                                      "given",
                                      "load",
                                      "load-cancel",
                                      "select",
                                      "up",
                                      "down",
                                      "save",
                                      "save-cancel",
                                      "expect-list",
                                      "expect-selection",
                                      "expect-enabled",
                                      "expect-disabled",
                                      "expect-message",
                                      "expect-no-message",
                                      "expect-file",
                                      "expect-same",
                                      "expect-missing",
                                      "drag",
                                      "drag-end",
                                      "key",
                                      "key-load",
                                      "key-save",
                                      "start",
                                      "expect-order",
                                      "expect-count",
                                      "press",
                                      "release",
                                      "change",
                                      "answer",
                                      "expect-question"};

// The preview and the context menu's steps.
const std::set<std::string> kViewVerbs = {"expect-preview", "expect-no-preview",
                                          "menu",           "expect-menu",
                                          "choose",         "close-menu"};

[[noreturn]] void Fail(const std::string& path, int line,
                       const std::string& what) {
  throw std::runtime_error(path + ":" + std::to_string(line) + ": " + what);
}

}  // namespace

Chord ParseChord(const std::string& text) {
  Chord chord;
  chord.ctrl = text.starts_with("ctrl+");
  chord.shift = text.find("shift+") != std::string::npos;
  chord.alt = text.find("alt+") != std::string::npos;
  chord.key = text.substr(text.rfind('+') + 1);
  const bool letter =
      chord.key.size() == 1 && chord.key[0] >= 'A' && chord.key[0] <= 'Z';
  const bool alone =
      chord.key == "F3" || chord.key == "F10" || chord.key == "Menu";
  const bool named = alone || chord.key == "Up" || chord.key == "Down" ||
                     chord.key == "Home" || chord.key == "End";
  // Spelled back in the one order allowed, anything else shows up.
  const std::string spelled = std::string(chord.ctrl ? "ctrl+" : "") +
                              (chord.shift ? "shift+" : "") +
                              (chord.alt ? "alt+" : "") + chord.key;
  if (spelled != text || (!letter && !named) ||
      (!alone && !chord.ctrl && !chord.alt))
    throw std::runtime_error("no such key chord: " + text);
  return chord;
}

std::string MenuItemText(const std::string& caption, bool enabled) {
  const size_t tab = caption.find('\t');
  std::string text = caption.substr(0, tab);
  if (tab != std::string::npos) text += " (" + caption.substr(tab + 1) + ")";
  return text + (enabled ? ":on" : ":off");
}

std::string PreviewLine(const std::string& line) {
  const size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos) return std::string();
  return line.substr(start, line.find_last_not_of(' ') + 1 - start);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return pieces;
}

Scenario Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  Scenario result;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.empty() || text[0] == '#') continue;
    Step step;
    step.line = line;
    size_t space = text.find(' ');
    step.verb = text.substr(0, space);
    if (space != std::string::npos) step.rest = text.substr(space + 1);
    step.args = Split(step.rest, ' ');
    if (kVerbs.count(step.verb) == 0 && kViewVerbs.count(step.verb) == 0)
      Fail(path, line, "unknown step " + step.verb);
    if (step.verb == "key") ParseChord(step.rest);
    if (step.verb == "program") {
      if (step.rest != "kalvane" && step.rest != "listdrag")
        Fail(path, line, "unknown program " + step.rest);
      result.program = step.rest;
      continue;
    }
    if (result.program.empty())
      Fail(path, line, "the first step names the program");
    result.steps.push_back(std::move(step));
  }
  if (result.program.empty()) Fail(path, line, "no program named");
  return result;
}

std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".scenario")
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace scenario
