// The FLTK backend's own records behind the system handles, and the widgets
// it builds on, shared by its files.
//
// A handle points at a record that lives for the whole run (windows are
// hidden, never destroyed), so a handle never dangles; every operation looks
// it up among the live records first, so a null, stale or wrong kind of
// handle is refused the way the system refuses one, never a crash.
#pragma once

#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_RGB_Image.H>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/dialog_filter.h"
#include "toolkit/tovi.h"

enum class RecordKind { kWindow, kList, kButton };

struct HWND__ {
  RecordKind kind = RecordKind::kWindow;
  HWND parent = nullptr;  // the window a control belongs to
  int32_t id = -1;        // -1 for a window
  Fl_Widget* widget = nullptr;

  // Windows.
  ToviCommandHandler onCommand = nullptr;
  ToviDragHandler onDrag = nullptr;
  ToviKeyHandler onKey = nullptr;
  bool dialogInterface = false;
  std::vector<HWND> controls;  // in creation order
};

struct HICON__ {
  std::unique_ptr<Fl_RGB_Image> image;
};

struct HINSTANCE__ {};

namespace tovi::fltk {

// A new record for `widget`; a control is added to its window's controls
// and its widget to the window's widgets.
HWND NewRecord(RecordKind kind, HWND parent, int32_t id, Fl_Widget* widget);

// The live record behind `handle`, of any kind or of the given kind; null
// when there is none.
HWND Find(HWND handle);
HWND Find(HWND handle, RecordKind kind);

// Every window made, in creation order.
const std::vector<HWND>& Windows();

// Passes a command of `control` to its window's command handler.
void IssueCommand(HWND control, int32_t code);

// The top-level window: lays its controls out on every resize and moves the
// keyboard focus between them only while the dialog interface is on.
class TopWindow : public Fl_Double_Window {
 public:
  TopWindow(int w, int h);
  void resize(int x, int y, int w, int h) override;
  int handle(int event) override;
  void ApplyLayout();

  HWND record = nullptr;
};

// A push button that also answers Enter while it has the focus, as the
// buttons of a dialog do.
class PushButton : public Fl_Button {
 public:
  PushButton(int x, int y, int w, int h, const char* label = nullptr);
  int handle(int event) override;
};

// A single-selection list. It keeps its own copy of the entries' bytes and
// draws each row from them: FLTK's browser reads its lines as C strings and
// markup, and with no markup character set it takes the NUL that ends an
// empty line for one and reads on past the line. The browser holds an empty
// line per entry, for the rows' height and selection only. The list also
// keeps a focus mark apart from the selection and the state of a drag
// between entries.
class ListBox : public Fl_Hold_Browser {
 public:
  ListBox();
  int handle(int event) override;
  void draw() override;

  int32_t Count() const { return static_cast<int32_t>(entries.size()); }
  int32_t Selection() const { return value() - 1; }
  // Selects `position` (nothing for -1), puts the focus mark there and
  // scrolls it into view. A user's choice also issues a command.
  void SelectPosition(int32_t position, bool byUser);
  // Puts the focus mark on `position` and scrolls it into view.
  void PutCaret(int32_t position);
  // The entry under the point (window coordinates), -1 when there is none.
  int32_t PositionAt(int x, int y);
  // The top edge of the entry at `position`, in window coordinates.
  int EntryTop(int32_t position) const;
  int EntryHeight() const;
  // The area the entries are drawn in, in window coordinates.
  void EntryArea(int& x, int& y, int& w, int& h) const { bbox(x, y, w, h); }

  HWND record = nullptr;
  std::vector<std::string> entries;
  int32_t caret = -1;  // the focus mark, -1 for none
  bool draggable = false;

  // A press that may become a drag, and a running drag: the entry in front
  // of which the insertion mark stands, -1 for no mark (the handler does not
  // want a drop there).
  bool pressed = false;
  bool dragging = false;
  int pressX = 0;
  int pressY = 0;
  int32_t dragMark = -1;

 protected:
  void item_draw(void* item, int x, int y, int w, int h) const override;
  int item_width(void* item) const override;

 private:
  int HandleKey();
  // The text shown for the browser line `item`.
  std::string ShownText(void* item) const;
};

// Mouse events of a list whose dragging is on: a press that moves far
// enough begins a drag. True when the event was used.
bool HandleDragEvent(ListBox& list, int event);

// Draws the insertion mark of a running drag over the drawn list.
void DrawInsertionMark(ListBox& list);

// Routes keys pressed with Ctrl or Alt to the key handler of the toolkit
// window they are pressed in, before its focused widget sees them.
void StartKeyHandling();

// Runs events, and writes the probe after each, while `shown` holds.
void RunWhileShown(const std::function<bool()>& shown);

// Shows `window` modally, gives `focus` (if any) the keyboard focus, and
// runs events until the window is hidden.
void RunModal(Fl_Window& window, Fl_Widget* focus);

// Where a box or dialog goes: centred over its owner, if there is one.
void PlaceOver(Fl_Window& box, HWND owner);

enum class BoxIcon { kNone, kInformation, kQuestion, kWarning, kError };

// A modal box over `owner` with a title, an icon, a text and buttons; the
// index of the button pressed, or `cancelIndex` when the box was closed or
// Escape pressed.
int ShowBox(HWND owner, const std::string& caption, const std::string& text,
            BoxIcon icon, const std::vector<std::string>& buttons,
            int defaultIndex, int cancelIndex);

// What an open or save dialog asks for. `accept` (if set) sees the path
// the user chose and may refuse it, which keeps the dialog open.
struct FileRequest {
  std::string title;
  std::vector<FileFilter> types;
  std::string initialName;
  std::function<bool(const std::string&)> accept;
};

// Runs a file dialog over `owner`; the path chosen, empty when cancelled.
std::string ChooseFile(HWND owner, const FileRequest& request);

// What the user sees, written to the file that TOVI_PROBE_FILE names after
// every handled event, for the end-to-end tests; nothing without it.
void StartProbe();
void WriteProbe();
// Records a box or dialog shown, for the probe: kind ("message", "question",
// "open" or "save"), its title and text.
void NoteShown(const std::string& kind, const std::string& title,
               const std::string& text);

}  // namespace tovi::fltk
