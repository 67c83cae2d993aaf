// The test's own X server, real input through its XTest extension, and the
// window-manager duties a bare server lacks: closing a window politely,
// moving the keyboard focus and telling who owns a window.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "tests/e2e_gtk/e2e.h"

namespace e2e {
namespace {

// A window that went away between finding it and acting on it is the
// program's business, not a reason to end the runner, which Xlib's own
// handler would do.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}

// The runner's one connection; every input goes through it, in order.
Display* Connection() {
  static Display* display = nullptr;
  if (display == nullptr) {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) Fail("cannot open the test's X display");
    XSetErrorHandler(IgnoreError);
  }
  return display;
}

// Waits until the server has handled every request sent, so the events
// they cause are queued for the program before anything later.
void Flush() {
  XSync(Connection(), False);
}

KeyCode CodeOf(KeySym symbol) {
  const KeyCode code = XKeysymToKeycode(Connection(), symbol);
  if (code == 0)
    Fail("the keyboard has no key for symbol " + std::to_string(symbol));
  return code;
}

void Press(KeyCode code, bool down) {
  XTestFakeKeyEvent(Connection(), code, down ? True : False, CurrentTime);
}

void Stroke(KeySym symbol, const std::vector<KeySym>& modifiers) {
  for (KeySym modifier : modifiers) Press(CodeOf(modifier), true);
  const KeyCode code = CodeOf(symbol);
  Press(code, true);
  Press(code, false);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
    Press(CodeOf(*it), false);
  }
  Flush();
}

bool Gone(const std::string& display) {
  const std::string number = display.substr(1);
  return access(("/tmp/.X11-unix/X" + number).c_str(), F_OK) != 0 &&
         access(("/tmp/.X" + number + "-lock").c_str(), F_OK) != 0;
}

}  // namespace

XServer StartXServer() {
  int ends[2] = {-1, -1};
  if (pipe(ends) != 0) Fail("pipe failed");
  XServer server;
  // Xvfb picks a free display number itself and writes it to the pipe once
  // it accepts clients, so no number is guessed and no sleep is needed.
  // Its complaints about the numbers in use while it searches are noise.
  // Without -noreset the server starts over whenever its last client
  // leaves, and a program connecting meanwhile is refused.
  server.pid =
      Spawn({"/bin/sh", "-c",
             "exec Xvfb -displayfd " + std::to_string(ends[1]) +
                 " -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null"},
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
  Connection();
  return server;
}

void StopXServer(XServer& server) {
  if (server.pid <= 0) return;
  Stop(server.pid);
  server.pid = -1;
  // The server removes its socket and lock file as it exits; until both
  // are gone a new server could be handed the same number and a client
  // could still reach the old one.
  if (!WaitFor([&] { return Gone(server.display); })) {
    Fail("the X server " + server.display + " left its socket or lock behind");
  }
}

void CloseWindow(unsigned long window) {
  Display* display = Connection();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] =
      static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  Flush();
}

unsigned long OwnerOf(unsigned long window) {
  Window owner = 0;
  if (XGetTransientForHint(Connection(), window, &owner) == 0) owner = 0;
  return owner;
}

std::vector<unsigned long> WindowsTitled(const std::string& title) {
  Display* display = Connection();
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<unsigned long> found;
  // Without a window manager every top-level window is a child of the root.
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children,
                 &count) == 0) {
    return found;
  }
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
        attributes.map_state != IsViewable) {
      continue;
    }
    Atom type = 0;
    int format = 0;
    unsigned long length = 0;
    unsigned long after = 0;
    unsigned char* name = nullptr;
    if (XGetWindowProperty(display, children[i], netName, 0, 4096, False, utf8,
                           &type, &format, &length, &after, &name) == Success &&
        name != nullptr) {
      if (std::string(reinterpret_cast<char*>(name), length) == title) {
        found.push_back(children[i]);
      }
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

void Resize(unsigned long window, int width, int height) {
  XResizeWindow(Connection(), window, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
  Flush();
}

void Focus(unsigned long window) {
  XSetInputFocus(Connection(), window == 0 ? None : window, RevertToNone,
                 CurrentTime);
  Flush();
}

void MoveTo(int x, int y) {
  XTestFakeMotionEvent(Connection(), -1, x, y, CurrentTime);
  Flush();
}

void Button(bool down) {
  XTestFakeButtonEvent(Connection(), 1, down ? True : False, CurrentTime);
  Flush();
}

void ClickAt(int x, int y) {
  MoveTo(x, y);
  Button(true);
  Button(false);
}

void RightClickAt(int x, int y) {
  MoveTo(x, y);
  XTestFakeButtonEvent(Connection(), 3, True, CurrentTime);
  XTestFakeButtonEvent(Connection(), 3, False, CurrentTime);
  Flush();
}

void Key(const std::string& key) {
  std::vector<KeySym> modifiers;
  std::string rest = key;
  for (;;) {
    const size_t plus = rest.find('+');
    if (plus == std::string::npos || plus == 0) break;
    const std::string modifier = rest.substr(0, plus);
    if (modifier == "ctrl") {
      modifiers.push_back(XK_Control_L);
    } else if (modifier == "shift") {
      modifiers.push_back(XK_Shift_L);
    } else if (modifier == "alt") {
      modifiers.push_back(XK_Alt_L);
    } else {
      Fail("unknown modifier " + modifier);
    }
    rest = rest.substr(plus + 1);
  }
  const KeySym symbol = XStringToKeysym(rest.c_str());
  if (symbol == NoSymbol) Fail("unknown key " + rest);
  Stroke(symbol, modifiers);
}

void Type(const std::string& text) {
  for (char c : text) {
    if (c < ' ' || c > '~') Fail("cannot type the byte " + std::to_string(c));
    // Printable ASCII characters are their own key symbols; those on a
    // key's second level need Shift.
    const auto symbol = static_cast<KeySym>(c);
    const KeyCode code = CodeOf(symbol);
    const bool shifted = XkbKeycodeToKeysym(Connection(), code, 0, 0) != symbol;
    Stroke(symbol,
           shifted ? std::vector<KeySym>{XK_Shift_L} : std::vector<KeySym>{});
  }
}

std::vector<unsigned long> ScreenPixels(const Bounds& area) {
  Display* display = Connection();
  std::vector<unsigned long> pixels;
  XImage* image = XGetImage(display, DefaultRootWindow(display), area.x, area.y,
                            static_cast<unsigned>(area.w),
                            static_cast<unsigned>(area.h), AllPlanes, ZPixmap);
  if (image == nullptr) Fail("cannot read the screen's pixels");
  // The test's server is 24-bit true colour: red, green, blue in that order.
  for (int y = 0; y < area.h; ++y) {
    for (int x = 0; x < area.w; ++x) {
      pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
    }
  }
  XDestroyImage(image);
  return pixels;
}

}  // namespace e2e
