// The programs in a state worth a screenshot: kalvane with a file loaded
// and an entry selected, listdrag in the middle of a drag.
#include <cmath>
#include <fstream>

#include "tests/e2e_wine/player.h"
#include "tests/e2e_wine/views.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

RECT InClient(HWND window, HWND control) {
  RECT area;
  GetWindowRect(control, &area);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void ExpectPlace(HWND window, HWND control, RECT expected) {
  RECT got = InClient(window, control);
  if (!EqualRect(&got, &expected)) {
    Fail("\"" + Utf8(WindowText(control)) + "\" lies at " +
         std::to_string(got.left) + "," + std::to_string(got.top) + "-" +
         std::to_string(got.right) + "," + std::to_string(got.bottom));
  }
}

// The window's client area is the size the program asked for, and the
// controls lie where the series layout puts them: kalvane's list above a
// 2-pixel gap and a 25-pixel row of four equal buttons, listdrag's list
// over the whole window; every figure in logical pixels, scaled by the
// screen's DPI and rounded as the layout rounds edges.
void CheckLayout(HWND window, bool kalvane) {
  HDC screen = GetDC(nullptr);
  const double scale = GetDeviceCaps(screen, LOGPIXELSX) / 96.0;
  ReleaseDC(nullptr, screen);
  auto px = [&](double logical) {
    return static_cast<LONG>(std::floor(logical * scale + 0.5));
  };
  const LONG width = px(400);
  const LONG height = px(300);
  RECT client;
  GetClientRect(window, &client);
  if (client.right != width || client.bottom != height) {
    Fail("the client area is " + std::to_string(client.right) + " x " +
         std::to_string(client.bottom) + ", not " + std::to_string(width) +
         " x " + std::to_string(height));
  }
  if (!kalvane) {
    ExpectPlace(window, GetDlgItem(window, 100), RECT{0, 0, width, height});
    return;
  }
  ExpectPlace(window, GetDlgItem(window, 4), RECT{0, 0, width, px(300 - 27)});
  const int order[] = {3, 2, 0, 1};  // Load, Save, Up, Down
  for (int i = 0; i < 4; ++i) {
    ExpectPlace(window, GetDlgItem(window, order[i]),
                RECT{px(100 * i), px(275), px(100 * (i + 1)), height});
  }
}

}  // namespace

void Pose(const std::string& program, const Programs& programs,
          const fs::path& folder, const fs::path& ready, const fs::path& done) {
  const bool kalvane = program == "kalvane";
  if (!kalvane && program != "listdrag") Fail("no program " + program);
  Session session(kalvane ? programs.kalvane : programs.listdrag, folder,
                  kalvane ? L"Kalvane" : L"Listbox dragging demo");
  HWND list = GetDlgItem(session.window, kalvane ? 4 : 100);
  CheckLayout(session.window, kalvane);
  if (kalvane) {
    fs::copy_file(programs.data / "shuffled.ost", folder / "geometry.ost");
    ChooseInFileDialog(session, GetDlgItem(session.window, 3),
                       folder / "geometry.ost", false);
    session.ClickAt(list, EntryPoint(list, 1));
    // The preview beside it, for the picture of both.
    session.AwaitFocus();
    PressKey(VK_F3);
    WaitFor([&] { return PreviewLines(session).has_value(); }, "the preview");
  } else {
    // Pressed on the fifth entry and held over the second, so the
    // insertion mark shows.
    MoveMouse(EntryPoint(list, 4));
    MouseButton(true);
    WaitFor([&] { return session.ThreadInfo().hwndCapture == list; },
            "the drag to begin");
    POINT over = EntryPoint(list, 1);
    for (int y : {over.y + 30, over.y + 15, over.y}) {
      MoveMouse(POINT{over.x, y});
      session.Settle();
    }
  }
  std::ofstream(ready).put('\n');
  WaitFor([&] { return fs::exists(done); }, "the screenshot to be taken");
  if (!kalvane) MouseButton(false);
  session.Close();
}

}  // namespace e2e
