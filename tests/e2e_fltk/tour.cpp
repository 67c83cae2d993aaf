// A walk through both programs as a new user takes it: pictures of the
// windows and the open dialog for the documentation, and a check that the
// controls follow the layout when the user resizes the window.
#include <iostream>

#include "tests/e2e_fltk/e2e.h"

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
std::string LayoutMismatch(const ProbeState& state, int width, int height) {
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
  Xdo({"windowsize", std::to_string(session.window), std::to_string(width),
       std::to_string(height)});
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

void TourKalvane(const fs::path& programs, const fs::path& examples,
                 const fs::path& shots, const fs::path& folder) {
  for (const fs::directory_entry& file : fs::directory_iterator(examples)) {
    fs::copy_file(file.path(), folder / file.path().filename());
  }
  Session session = Launch(programs / "kalvane", "Kalvane", folder);
  try {
    const std::string wrong = LayoutMismatch(Settle(session), 400, 300);
    if (!wrong.empty()) Fail("at the start:" + wrong);
    UseFileDialog(session, "Load", "open", "", false,
                  [&](unsigned long dialog) {
                    Screenshot(shots / "open_dialog.png", dialog);
                  });
    UseFileDialog(session, "Load", "open",
                  (folder / "shapes_out_of_order.ost").string(), false);
    Select(session, 1);
    Screenshot(shots / "kalvane.png", session.window);
    ResizeAndCheck(session, 640, 440);
    Screenshot(shots / "kalvane_resized.png", session.window);
    ResizeAndCheck(session, 400, 300);
    Close(session);
  } catch (...) {
    Stop(session.pid);
    throw;
  }
}

// The picture shows a drag in progress, with its insertion mark.
void TourListdrag(const fs::path& programs, const fs::path& shots,
                  const fs::path& folder) {
  Session session =
      Launch(programs / "listdrag", WindowTitle("listdrag"), folder);
  try {
    const ListState list = Settle(session).List();
    const std::string window = std::to_string(session.window);
    const int x = list.bounds.x + list.bounds.w / 3;
    auto middle = [&](int position) {
      return std::to_string(list.top + position * list.rowHeight +
                            list.rowHeight / 2);
    };
    Xdo({"mousemove", "--window", window, std::to_string(x), middle(4),
         "mousedown", "1"});
    for (int position : {4, 3, 2, 1}) {
      Xdo({"mousemove", "--window", window, std::to_string(x + 1),
           middle(position)});
    }
    Settle(session);
    Screenshot(shots / "listdrag.png", session.window);
    Xdo({"mouseup", "1"});
    const ListState after = Settle(session).List();
    if (after.entries.size() < 2 || after.entries[1] != "Item  5") {
      Fail("the drag shown did not move Item 5 in front of Item 2");
    }
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
    TourListdrag(programs, shots, folder);
  } catch (...) {
    fs::remove_all(folder);
    throw;
  }
  fs::remove_all(folder);
}

}  // namespace e2e
