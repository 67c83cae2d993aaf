// kalvane on GTK's Wayland backend in a Weston nested in the test's X
// server (its kiosk shell shows and focuses the window whole); keys go to
// Weston's window through XTest, and Weston passes them on.
#include <cstdlib>

#include "tests/e2e_gtk/e2e.h"

namespace e2e {

void PlayOnWayland(const fs::path& programs, const fs::path& data) {
  const fs::path folder = FreshFolder();
  fs::copy_file(data / "ordered.ost", folder / "geometry.ost");
  const std::string socket = "kalvane-e2e-wayland";
  const char* output = "Weston Compositor - screen0";
  const pid_t weston =
      Spawn({"/usr/bin/weston", "--backend=x11-backend.so",
             "--socket=" + socket, "--shell=kiosk-shell.so", "--width=800",
             "--height=600", "--idle-time=0", "--no-config"},
            {}, folder);
  pid_t kalvane = -1;
  auto expect = [&](const std::string& what, auto holds) {
    if (!WaitFor([&] {
          std::optional<Screen> s = ReadScreen(kalvane);
          return s && s->lists.size() == 1 && holds(*s);
        })) {
      Fail("on Wayland, " + what);
    }
  };
  try {
    if (!WaitFor([&] {
          return fs::exists(fs::path(std::getenv("XDG_RUNTIME_DIR")) /
                            socket) &&
                 !WindowsTitled(output).empty();
        })) {
      Fail("Weston did not start (is the weston package installed?)");
    }
    kalvane = Spawn({(programs / "kalvane").string(), "geometry.ost"},
                    {"HOME=" + folder.string(), "GSETTINGS_BACKEND=memory",
                     "GDK_BACKEND=wayland", "WAYLAND_DISPLAY=" + socket},
                    folder);
    Focus(WindowsTitled(output).front());
    expect("the file is not shown with the focus", [](const Screen& s) {
      return s.active && s.List().entries.size() == 3;
    });
    Key("F3");
    expect("F3 shows no preview", [](const Screen& s) { return !!s.preview; });
    // The first Down after a Load selects the first function.
    for (int selected : {0, 1}) {
      Key("Down");
      expect("Down does not reach the list", [&](const Screen& s) {
        return s.List().selection == selected && s.Focused() == "list";
      });
    }
    Key("alt+Down");
    expect("Alt+Down does not reach the list", [](const Screen& s) {
      return s.List().entries[2] == "Beta" && s.List().selection == 2 &&
             s.preview->find("FUNCTION DOUBLE Beta") != std::string::npos;
    });
  } catch (...) {
    Stop(kalvane);
    Stop(weston);
    throw;
  }
  Stop(kalvane);
  Stop(weston);
}

}  // namespace e2e
