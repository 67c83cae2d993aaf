// kalvane on a Wayland compositor: a Weston nested in the test's X server,
// kalvane on GTK's Wayland backend inside it, keys sent to Weston's window
// through XTest (Weston passes them on to the window it focuses), and what
// kalvane shows read back through the accessibility bus. With the preview
// shown, the arrow keys and Alt+Down must still reach the list.
#include <cstdlib>

#include "tests/e2e_gtk/e2e.h"

namespace e2e {
namespace {

constexpr char kSocket[] = "kalvane-e2e-wayland";

// Weston in a window of the X server, showing every program's window
// whole and focused (its kiosk shell), on a screen with no room beside
// kalvane's window.
pid_t StartWeston(const fs::path& log) {
  const pid_t pid = Spawn(
      {"/bin/sh", "-c",
       std::string("exec weston --backend=x11-backend.so --socket=") + kSocket +
           " --shell=kiosk-shell.so --width=800 --height=600 --idle-time=0"
           " --no-config >" +
           log.string() + " 2>&1"},
      {}, "/");
  const fs::path socket = fs::path(std::getenv("XDG_RUNTIME_DIR")) / kSocket;
  if (!WaitFor([&] {
        return fs::exists(socket) &&
               !WindowsTitled("Weston Compositor - screen0").empty();
      })) {
    Stop(pid);
    Fail("Weston did not start (is the weston package installed?)");
  }
  return pid;
}

Screen WaitForScreen(pid_t pid, const std::string& what,
                     const std::function<bool(const Screen&)>& holds) {
  std::optional<Screen> screen;
  if (!WaitFor([&] {
        screen = ReadScreen(pid);
        return screen && holds(*screen);
      })) {
    Fail("on Wayland, " + what);
  }
  return *screen;
}

std::string Entries(const Screen& screen) {
  std::string out;
  for (const std::string& entry : screen.List().entries) out += entry + "|";
  return out;
}

}  // namespace

void PlayOnWayland(const fs::path& programs, const fs::path& data) {
  const fs::path folder = FreshFolder();
  fs::copy_file(data / "ordered.ost", folder / "geometry.ost");
  const pid_t weston = StartWeston(folder / "weston.log");
  const unsigned long output =
      WindowsTitled("Weston Compositor - screen0").front();
  const pid_t kalvane =
      Spawn({(programs / "kalvane").string(), "geometry.ost"},
            {"HOME=" + folder.string(), "GSETTINGS_BACKEND=memory",
             "XDG_CONFIG_HOME=" + (folder / ".config").string(),
             "GDK_BACKEND=wayland", std::string("WAYLAND_DISPLAY=") + kSocket},
            folder);
  try {
    Focus(output);
    WaitForScreen(kalvane, "the loaded file is not shown with the focus",
                  [](const Screen& s) {
                    return s.active && s.lists.size() == 1 &&
                           s.List().entries.size() == 3;
                  });
    Key("F3");
    WaitForScreen(kalvane, "F3 shows no preview",
                  [](const Screen& s) { return s.preview.has_value(); });
    // Nothing is selected after a Load; the first Down selects the first
    // function, the next one the second.
    Key("Down");
    WaitForScreen(kalvane, "the first Down does not select the first function",
                  [](const Screen& s) { return s.List().selection == 0; });
    Key("Down");
    WaitForScreen(kalvane, "Down does not reach the list",
                  [](const Screen& s) { return s.List().selection == 1; });
    Key("alt+Down");
    const Screen moved = WaitForScreen(
        kalvane, "Alt+Down does not reach the list", [](const Screen& s) {
          return Entries(s) == "Alpha|Gamma|Beta|" && s.List().selection == 2;
        });
    if (!moved.preview || moved.preview->find("Beta") == std::string::npos) {
      Fail("on Wayland, the preview does not follow the move");
    }
    if (moved.Focused() != "list") {
      Fail("on Wayland, the list lost the keyboard to \"" + moved.Focused() +
           "\"");
    }
    Key("F3");
    WaitForScreen(kalvane, "F3 does not hide the preview",
                  [](const Screen& s) { return !s.preview.has_value(); });
  } catch (...) {
    Stop(kalvane);
    Stop(weston);
    throw;
  }
  Stop(kalvane);
  Stop(weston);
}

}  // namespace e2e
