// Reads the probe file the FLTK backend writes (the format is described in
// toolkit/fltk/probe.cpp).
#include <fstream>
#include <sstream>

#include "tests/e2e_fltk/e2e.h"

namespace e2e {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  Fail(std::string("bad escape in the probe file: ") + c);
}

std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] == 'x') {
      out += static_cast<char>(HexDigit(field[i + 2]) * 16 +
                               HexDigit(field[i + 3]));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

Bounds* BoundsOf(ProbeState& state, int id) {
  for (ListState& list : state.lists) {
    if (list.id == id) return &list.bounds;
  }
  for (ButtonState& button : state.buttons) {
    if (button.id == id) return &button.bounds;
  }
  return nullptr;
}

void ReadRecord(const std::string& kind, std::istringstream& in,
                ProbeState& state) {
  if (kind == "sync") {
    in >> state.sync;
  } else if (kind == "focus") {
    in >> state.focus;
  } else if (kind == "window") {
    // Windows are found on screen by their titles, not here.
  } else if (kind == "list") {
    ListState list;
    size_t count = 0;
    in >> list.id >> list.selection >> list.caret >> count;
    state.lists.push_back(list);
  } else if (kind == "entry") {
    std::string text;
    in >> text;
    if (state.lists.empty()) Fail("probe: an entry before any list");
    state.lists.back().entries.push_back(Unescape(text));
  } else if (kind == "button") {
    ButtonState button;
    std::string caption;
    in >> button.id >> button.enabled >> caption;
    button.caption = Unescape(caption);
    state.buttons.push_back(button);
  } else if (kind == "bounds") {
    int id = -1;
    Bounds bounds;
    in >> id >> bounds.x >> bounds.y >> bounds.w >> bounds.h;
    if (Bounds* target = BoundsOf(state, id)) *target = bounds;
  } else if (kind == "rows") {
    int id = -1;
    int top = 0;
    int height = 0;
    int mark = -1;
    in >> id >> top >> height >> mark;
    for (ListState& list : state.lists) {
      if (list.id == id) {
        list.top = top;
        list.rowHeight = height;
        list.dragMark = mark;
      }
    }
  } else if (kind == "shown") {
    std::string what, title, text;
    in >> what >> title >> text;
    state.shown.push_back(Shown{what, Unescape(title), Unescape(text)});
  } else {
    Fail("probe: unknown record " + kind);
  }
}

}  // namespace

const ButtonState& ProbeState::Button(const std::string& caption) const {
  for (const ButtonState& button : buttons) {
    if (button.caption == caption) return button;
  }
  Fail("the window has no button \"" + caption + "\"");
}

const ListState& ProbeState::List() const {
  if (lists.size() != 1) Fail("the window should have exactly one list");
  return lists.front();
}

std::optional<ProbeState> ReadProbe(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  ProbeState state;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string kind;
    fields >> kind;
    ReadRecord(kind, fields, state);
  }
  return state;
}

}  // namespace e2e
