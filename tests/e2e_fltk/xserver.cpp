// The test's own X server, and the two window-manager duties a bare server
// lacks: closing a window politely and telling who owns a window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/e2e_fltk/e2e.h"

namespace e2e {
namespace {

Display* Open() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) Fail("cannot open the test's X display");
  return display;
}

}  // namespace

XServer StartXServer() {
  int ends[2] = {-1, -1};
  if (pipe(ends) != 0) Fail("pipe failed");
  XServer server;
  // Xvfb picks a free display number itself and writes it to the pipe once
  // it accepts clients, so no number is guessed and no sleep is needed.
  // Its complaints about the numbers in use while it searches are noise.
  // Without -noreset the server starts over whenever its last client leaves
  // (the check below, each xdotool), and a program connecting meanwhile is
  // refused.
  server.pid =
      Spawn({"/bin/sh", "-c",
             "exec Xvfb -displayfd " + std::to_string(ends[1]) +
                 " -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null"},
            {}, "/");
  close(ends[1]);
  std::string number;
  pollfd ready{ends[0], POLLIN, 0};
  while (poll(&ready, 1, static_cast<int>(kTimeout.count())) > 0) {
    char c = 0;
    if (read(ends[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(ends[0]);
  if (number.empty()) {
    Stop(server.pid);
    Fail("Xvfb did not start (is the xvfb package installed?)");
  }
  server.display = ":" + number;
  setenv("DISPLAY", server.display.c_str(), 1);
  // The number can come a moment before the server takes clients.
  const bool accepting = WaitFor([] {
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr) XCloseDisplay(display);
    return display != nullptr;
  });
  if (!accepting) {
    StopXServer(server);
    Fail("Xvfb on " + server.display + " takes no clients");
  }
  return server;
}

void StopXServer(XServer& server) {
  Stop(server.pid);
  server.pid = -1;
}

void CloseWindow(unsigned long window) {
  Display* display = Open();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] =
      static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);
}

unsigned long OwnerOf(unsigned long window) {
  Display* display = Open();
  Window owner = 0;
  if (XGetTransientForHint(display, window, &owner) == 0) owner = 0;
  XCloseDisplay(display);
  return owner;
}

}  // namespace e2e
