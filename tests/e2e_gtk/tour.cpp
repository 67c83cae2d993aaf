// A walk through both programs as a new user takes it: pictures of the
// windows and the open dialog for the documentation, and a check that the
// controls follow the layout when the user resizes the window.
#include <algorithm>
#include <iostream>
#include <map>

#include "tests/e2e_gtk/e2e.h"
#include "toolkit/contrast.h"

namespace e2e {
namespace {

std::string Describe(const Bounds& b) {
  return std::to_string(b.x) + "," + std::to_string(b.y) + " " +
         std::to_string(b.w) + "x" + std::to_string(b.h);
}

bool Same(const Bounds& a, const Bounds& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

// kalvane's layout for a client area of width x height: the list over all
// but a 27-pixel strip, then a 2-pixel gap and a 25-pixel row of four
// buttons of a quarter of the width each (sizes here divide by four).
std::string LayoutMismatch(const Screen& state, int width, int height) {
  std::string wrong;
  auto check = [&](const std::string& name, const Bounds& actual,
                   const Bounds& expected) {
    if (!Same(actual, expected)) {
      wrong += " " + name + " is at " + Describe(actual) + ", not " +
               Describe(expected) + ";";
    }
  };
  check("the list", state.List().bounds, {0, 0, width, height - 27});
  const char* order[] = {"Load", "Save", "Up", "Down"};
  for (int i = 0; i < 4; ++i) {
    check(order[i], state.Button(order[i]).bounds,
          {i * width / 4, height - 25, width / 4, 25});
  }
  return wrong;
}

void ResizeAndCheck(Session& session, int width, int height) {
  Resize(session.window, width, height);
  std::string wrong;
  WaitFor([&] {
    wrong = LayoutMismatch(Settle(session), width, height);
    return wrong.empty();
  });
  if (!wrong.empty()) {
    Fail("after a resize to " + std::to_string(width) + "x" +
         std::to_string(height) + ":" + wrong);
  }
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) out += text + " ";
  return out;
}

void ExpectFocus(Session& session, const std::string& control,
                 const std::string& after) {
  const std::string focus = Settle(session).Focused();
  if (focus != control) {
    Fail("after " + after + " the focus is on \"" + focus + "\", not " +
         control);
  }
}

void ExpectEntries(Session& session, const std::string& expected,
                   const std::string& after) {
  const std::string shown = Joined(Settle(session).List().entries);
  if (shown != expected) Fail("after " + after + " the list shows " + shown);
}

// Tab walks list, Load, Save, Up, Down in that order and Shift+Tab back;
// Space and Enter press the focused button; Escape closes nothing.
void WalkWithKeyboard(Session& session) {
  Select(session, 2);
  ExpectFocus(session, "list", "a selection");
  for (int i = 0; i < 3; ++i) Key("Tab");
  ExpectFocus(session, "Up", "three Tabs");
  Key("space");
  ExpectEntries(session, "Area Diagonal Perimeter Volume ", "Space on Up");
  Key("Tab");
  ExpectFocus(session, "Down", "a fourth Tab");
  Key("Return");
  ExpectEntries(session, "Area Perimeter Diagonal Volume ", "Enter on Down");
  Key("shift+Tab");
  Key("shift+Tab");
  ExpectFocus(session, "Save", "two Shift+Tabs");
  Key("Escape");
  Settle(session);  // fails if Escape closed the window
}

// A screen reader hears first, and is told last, the function a move or its
// undo moved, at its new place; an entry offers only what it can do.
void ListenToMoves(Session& session) {
  if (Settle(session).List().name != "Functions") Fail("the list is unnamed");
  Select(session, 1);
  ListenToList(session.pid);
  for (const auto& [key, entry] : {std::pair{"alt+Down", "Perimeter, 3 of 4"},
                                   std::pair{"ctrl+z", "Perimeter, 2 of 4"}}) {
    Key(key);
    std::vector<std::string> said;
    WaitFor([&] {
      for (std::string& one : TakeHeard()) said.push_back(one);
      return !said.empty() && said.back().starts_with("announced: ");
    });
    if (said.empty() || said.front() != entry ||
        said.back() != std::string("announced: ") + entry) {
      Fail(std::string("after ") + key + " a screen reader heard " +
           Joined(said) + "rather than " + entry + " first and last");
    }
  }
  if (EntryActions(session.pid, 3, 0) != std::vector<std::string>{"activate"}) {
    Fail("an entry offers actions besides activate");
  }
  if (!WaitFor([&] { return Settle(session).List().selection == 3; })) {
    Fail("activating an entry did not select it");
  }
}

void TourKalvane(const fs::path& programs, const fs::path& examples,
                 const fs::path& shots, const fs::path& folder) {
  for (const fs::directory_entry& file : fs::directory_iterator(examples)) {
    fs::copy_file(file.path(), folder / file.path().filename());
  }
  Session session = Launch(programs / "kalvane", "Kalvane", folder);
  try {
    const std::string wrong = LayoutMismatch(Settle(session), 400, 300);
    if (!wrong.empty()) Fail("at the start:" + wrong);
    UseFileDialog(session, "Load", false, "", false, [&](unsigned long dialog) {
      Screenshot(shots / "open_dialog.png", dialog);
    });
    UseFileDialog(session, "Load", false,
                  (folder / "shapes_out_of_order.ost").string(), false);
    WalkWithKeyboard(session);
    ListenToMoves(session);
    Select(session, 1);
    // A click below the last entry keeps the selection.
    const Bounds list = Settle(session).List().screen;
    ClickAt(list.x + list.w / 2, list.y + list.h - 10);
    if (Settle(session).List().selection != 1) {
      Fail("a click below the entries changed the selection");
    }
    Screenshot(shots / "kalvane.png", session.window);
    // F3 puts the preview beside the window, for a picture of both.
    Focus(session.window);
    Key("F3");
    if (!Settle(session).preview) Fail("F3 showed no preview");
    Screenshot(shots / "kalvane_preview.png");
    // Escape in the preview closes it; the main window has the keyboard.
    Focus(WindowsTitled(kPreviewTitle).at(0));
    Key("Escape");
    if (!WaitFor([&] {
          const std::optional<Screen> now = ReadScreen(session.pid);
          return now && !now->preview && now->active;
        })) {
      Fail("Escape in the preview did not close it for the main window");
    }
    ResizeAndCheck(session, 640, 440);
    Screenshot(shots / "kalvane_resized.png", session.window);
    ResizeAndCheck(session, 400, 300);
    Close(session);
  } catch (...) {
    Stop(session.pid);
    throw;
  }
}

// The contrast of a word of the preview as the screen shows it: its
// background is the colour most of its pixels have, its colour the one
// that stands out most from that.
double WordContrast(pid_t pid, const std::string& preview,
                    const std::string& word) {
  const size_t at = preview.find(word);
  Bounds bounds;
  // The window is drawn a little after it is on the bus.
  if (at == std::string::npos || !WaitFor([&] {
        bounds = PreviewBounds(pid, static_cast<int>(at),
                               static_cast<int>(at + word.size()));
        return bounds.w > 0;
      })) {
    Fail("the preview does not show " + word);
  }
  std::map<unsigned long, int> counts;
  for (unsigned long pixel : ScreenPixels(bounds)) ++counts[pixel];
  auto rgb = [](unsigned long pixel) {
    auto channel = [&](int shift) {
      return static_cast<uint8_t>((pixel >> shift) & 0xff);
    };
    return tovi::Rgb{channel(16), channel(8), channel(0)};
  };
  const unsigned long background =
      std::ranges::max_element(counts, {}, [](auto& c) {
        return c.second;
      })->first;
  double best = 1;
  for (const auto& [pixel, count] : counts) {
    best = std::max(best, tovi::ContrastRatio(rgb(pixel), rgb(background)));
  }
  return best;
}

// The preview's keywords, strings and comments read at 4.5:1 or better in
// the theme given, measured on the screen.
void CheckPreviewColours(const fs::path& programs, const fs::path& folder,
                         const std::string& theme) {
  setenv("GTK_THEME", theme.c_str(), 1);
  Session session =
      Launch(programs / "kalvane", "Kalvane", folder, {"greeting.ost"});
  unsetenv("GTK_THEME");
  try {
    Focus(session.window);
    Key("F3");
    // A keyword and Shout's comment; Greet's string, whose letters have
    // strokes wide enough to show their colour whole.
    const std::pair<int, std::string> words[] = {
        {1, "FUNCTION"}, {1, "' Upper case"}, {0, "\"Hello, \""}};
    for (const auto& [function, word] : words) {
      Select(session, function);
      const std::optional<std::string> preview = Settle(session).preview;
      const double ratio =
          preview ? WordContrast(session.pid, *preview, word) : 0;
      if (ratio < 4.5) {
        Fail("in " + theme + " " + word + " reads at " + std::to_string(ratio) +
             ":1");
      }
    }
    Close(session);
  } catch (...) {
    Stop(session.pid);
    throw;
  }
}

// The picture shows a drag in progress. Over the dragged entry itself the
// program does not want a drop, so no insertion mark shows there; over
// another entry the mark stands in front of it, and the list tells a screen
// reader so.
void TourListdrag(const fs::path& programs, const fs::path& shots,
                  const fs::path& folder) {
  Session session =
      Launch(programs / "listdrag", WindowTitle("listdrag"), folder);
  try {
    const ListState list = Settle(session).List();
    auto move = [&](int position, int nudge) {
      const Bounds entry = EntryBounds(session.pid, position);
      MoveTo(entry.x + entry.w / 3, entry.y + entry.h / 2 + nudge);
      Settle(session);
    };
    auto expectMark = [&](int mark, const std::string& where) {
      const std::string about = Settle(session).List().about;
      const std::string wanted =
          mark < 0 ? "" : "Drop in front of " + list.entries[mark];
      if (about != wanted) {
        Fail("over " + where + " the list says \"" + about + "\", not \"" +
             wanted + "\"");
      }
    };
    move(4, 0);
    Button(true);
    move(4, 10);
    expectMark(-1, "the dragged entry");
    for (int position : {3, 2, 1}) move(position, 0);
    expectMark(1, "entry 1");
    Screenshot(shots / "listdrag.png", session.window);
    Button(false);
    const ListState after = Settle(session).List();
    if (after.entries.size() < 2 || after.entries[1] != "Item  5") {
      Fail("the drag shown did not move Item 5 in front of Item 2");
    }
    if (!after.about.empty()) Fail("the insertion mark stayed after the drop");
    Close(session);
  } catch (...) {
    Stop(session.pid);
    throw;
  }
}

}  // namespace

void Tour(const fs::path& programs, const fs::path& examples,
          const fs::path& shots) {
  fs::create_directories(shots);
  const fs::path folder = FreshFolder();
  try {
    TourKalvane(programs, examples, shots, folder);
    for (const char* theme : {"Adwaita", "Adwaita:dark"}) {
      CheckPreviewColours(programs, folder, theme);
    }
    TourListdrag(programs, shots, folder);
  } catch (...) {
    fs::remove_all(folder);
    throw;
  }
  fs::remove_all(folder);
}

}  // namespace e2e
