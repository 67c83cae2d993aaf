// What the user sees, written for the end-to-end tests, which drive the
// real programs with real input and must read the result back through the
// program rather than assume it. Off unless TOVI_PROBE_FILE names a file.
//
// The file is rewritten whole (a new file renamed over it, so a reader never
// sees half of it) after every handled event that changed it. One record a
// line, fields separated by single spaces, texts escaped (see Escape):
//   sync N                          F12 presses handled so far
//   focus ID                        control with the keyboard focus, or -1
//   window SHOWN TITLE
//   list ID SELECTION CARET COUNT   then COUNT lines "entry TEXT"
//   button ID ENABLED CAPTION
//   bounds ID X Y W H               every control, in window coordinates
//   rows ID TOP HEIGHT MARK         a list's entry 0 top edge, entry height,
//                                   and the entry the insertion mark of a
//                                   running drag stands in front of, or -1
//   shown KIND TITLE TEXT           every box and dialog shown, in order
// F12 is the tests' barrier: it changes nothing else, and once its count
// has gone up every input sent before it has been handled.
#include <FL/Fl.H>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "toolkit/fltk/backend.h"

namespace tovi::fltk {
namespace {

struct Probe {
  std::string path;  // empty while the probe is off
  std::string written;
  std::vector<std::string> shown;
  int sync = 0;
};

Probe& TheProbe() {
  static Probe probe;
  return probe;
}

// Spaces, backslashes and every byte outside printable ASCII become \xNN,
// so a field never holds a space and every byte survives.
std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte >= 0x7f || c == '\\') {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    } else {
      out += c;
    }
  }
  return out;
}

int CountSync(int event) {
  if (event != FL_SHORTCUT || Fl::event_key() != FL_F + 12) return 0;
  ++TheProbe().sync;
  WriteProbe();
  return 1;
}

std::string Numbers(std::initializer_list<int> numbers) {
  std::string out;
  for (int number : numbers) out += " " + std::to_string(number);
  return out;
}

std::string Describe(HWND control) {
  const Fl_Widget& widget = *control->widget;
  const int id = control->id;
  const std::string bounds =
      "bounds" + Numbers({id, widget.x(), widget.y(), widget.w(), widget.h()}) +
      "\n";
  if (control->kind == RecordKind::kButton) {
    const char* caption = widget.label();
    return "button" + Numbers({id, widget.active() ? 1 : 0}) + " " +
           Escape(caption == nullptr ? "" : caption) + "\n" + bounds;
  }
  const auto& list = static_cast<const ListBox&>(widget);
  std::string out =
      "list" + Numbers({id, list.Selection(), list.caret, list.Count()}) + "\n";
  for (const std::string& entry : list.entries) {
    out += "entry " + Escape(entry) + "\n";
  }
  return out + bounds + "rows" +
         Numbers({id, list.EntryTop(0), list.EntryHeight(),
                  list.dragging ? list.dragMark : -1}) +
         "\n";
}

std::string Describe() {
  const Probe& probe = TheProbe();
  std::string state = "sync " + std::to_string(probe.sync) + "\n";
  int32_t focus = -1;
  std::string windows;
  for (HWND window : Windows()) {
    const char* title = window->widget->label();
    windows += "window " +
               std::string(window->widget->visible() ? "1 " : "0 ") +
               Escape(title == nullptr ? "" : title) + "\n";
    for (HWND control : window->controls) {
      if (control->widget == Fl::focus()) focus = control->id;
      windows += Describe(control);
    }
  }
  state += "focus " + std::to_string(focus) + "\n" + windows;
  for (const std::string& line : probe.shown) state += line;
  return state;
}

}  // namespace

void StartProbe() {
  const char* path = std::getenv("TOVI_PROBE_FILE");
  if (path == nullptr || *path == '\0') return;
  TheProbe().path = path;
  Fl::add_handler(CountSync);
}

void NoteShown(const std::string& kind, const std::string& title,
               const std::string& text) {
  Probe& probe = TheProbe();
  if (probe.path.empty()) return;
  probe.shown.push_back("shown " + kind + " " + Escape(title) + " " +
                        Escape(text) + "\n");
  WriteProbe();
}

void WriteProbe() {
  Probe& probe = TheProbe();
  if (probe.path.empty()) return;
  std::string state = Describe();
  if (state == probe.written) return;
  const std::string temporary = probe.path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << state;
    if (!out.flush()) return;
  }
  if (std::rename(temporary.c_str(), probe.path.c_str()) == 0) {
    probe.written = std::move(state);
  }
}

}  // namespace tovi::fltk
