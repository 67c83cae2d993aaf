// The windowing toolkit as both programs call it.
//
// One backend implements every operation below; which one is decided by what
// is linked into the program (toolkit/win32, toolkit/gtk or toolkit/memory),
// never by conditional compilation in the programs. The series layout
// (ToviAutoSizer_*) is shared by all backends.
//
// Conventions:
// - Truth values are 32-bit integers: kTrue (-1) and kFalse (0).
// - Positions in a list count from 0; -1 means none as a result and the end
//   of the list as a position passed in.
// - Text is 8-bit bytes in std::string; the toolkit copies what it is given.
//   File paths are UTF-8.
// - Window and control handles are the system's (HWND on Windows), so they can
//   be passed to GetDlgItem, EnableWindow and MessageBoxA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/system.h"

using ToviBool = int32_t;
inline constexpr ToviBool kTrue = -1;
inline constexpr ToviBool kFalse = 0;

// A series of the automatic layout. kMainSeries names the main series of the
// window created last.
using ToviSeries = int32_t;
inline constexpr ToviSeries kMainSeries = -1;

// Directions of a series.
inline constexpr int32_t kSeriesTopToBottom = 1;
inline constexpr int32_t kSeriesSideBySide = 2;

// Flags of ToviAutoSizer_SetInfo.
inline constexpr int32_t kSizeFromSpaceLeft =
    1;  // size counts against the space left
inline constexpr int32_t kItemIsSeries = 8;  // the item is a nested series

// Status values passed to a drag handler.
inline constexpr int32_t kDragBegin = 0;
inline constexpr int32_t kDragOver = 1;
inline constexpr int32_t kDragDrop = 2;
// The pointer is inside the list but below its last entry (item is then the
// number of entries): over it while moving, released there on a drop. A
// handler that does not know these statuses answers 0 and nothing happens,
// as for any status it does not expect.
inline constexpr int32_t kDragOverEnd = 3;
inline constexpr int32_t kDragDropEnd = 4;

// Keys a key handler hears: the arrow keys by these values, letters by their
// upper-case ASCII code ('A' to 'Z'). Other keys are not passed on.
inline constexpr int32_t kKeyUp = 0x26;
inline constexpr int32_t kKeyDown = 0x28;
// Also heard, by the same values as Windows' virtual keys. F3, F10 and the
// Menu key (the context menu key) are heard with any modifiers or none; Home
// and End, like the others, only with Ctrl or Alt.
inline constexpr int32_t kKeyHome = 0x24;
inline constexpr int32_t kKeyEnd = 0x23;
inline constexpr int32_t kKeyF3 = 0x72;
inline constexpr int32_t kKeyF10 = 0x79;
inline constexpr int32_t kKeyMenu = 0x5D;
// Modifiers held with the key, or-ed together.
inline constexpr int32_t kKeyCtrl = 1;
inline constexpr int32_t kKeyShift = 2;
inline constexpr int32_t kKeyAlt = 4;

// Called for every command from a control: first the control's identifier;
// the other two values are the toolkit's own. The result is ignored.
using ToviCommandHandler = int32_t (*)(int32_t id, int32_t code, int32_t extra);

// Called during a drag on a list whose dragging is enabled: `list` is the
// list's identifier, `status` one of the kDrag* values, `item` the position
// under the pointer or -1, x and y the pointer in the list's coordinates. For
// kDragBegin a zero result cancels the drag; for kDragOver a zero result
// shows that a drop there is not wanted.
using ToviDragHandler = int32_t (*)(int32_t list, int32_t status, int32_t item,
                                    int32_t x, int32_t y);

// Called for a key pressed with at least one of Ctrl and Alt held (or for F3,
// F10 and the Menu key, held with anything) while the window, any control in
// it or a window it owns has the keyboard focus, before the control
// sees the key. A non-zero result means the key was used: the control then
// never sees it, so Alt+Down, for instance, does not also move a list's
// selection. Keys pressed while a dialog or message box is up are the
// dialog's.
using ToviKeyHandler = int32_t (*)(int32_t key, int32_t modifiers);

// Something placed in a series: a control or a nested series.
struct ToviItem {
  ToviItem(HWND placedControl) : control(placedControl) {}
  ToviItem(ToviSeries placedSeries) : series(placedSeries), isSeries(true) {}
  HWND control = nullptr;
  ToviSeries series = 0;
  bool isSeries = false;
};

// Initialises the toolkit; 0 on success.
int32_t Tovi();

// A top-level window at the default position (-1, -1) with the given client
// width and height, title and icon (null for none). Its handle.
HWND ToviNewWindow(HWND parent, const std::string& title, int32_t x, int32_t y,
                   int32_t width, int32_t height, int32_t style,
                   int32_t exStyle, HICON icon, int32_t reserved);

// The series that fills the window's client area, top to bottom.
ToviSeries ToviAutoSizer_GetMainSeries(HWND window);

// A new empty series with the given direction (kSeriesSideBySide or
// kSeriesTopToBottom).
ToviSeries ToviNewAutoSizerSeries(int32_t direction);

// Places `item` in `series`: `space` pixels of gap, then `size` along the
// series (a fraction of its length up to 1, else pixels; with
// kSizeFromSpaceLeft it counts against the space left instead: 27 leaves 27
// pixels, 1 takes all). x, y, w and h place the item within its slot as
// fractions of the slot (0, 0, 1, 1 fill it). kItemIsSeries must be given
// exactly when the item is a series. kFalse when the call is refused.
ToviBool ToviAutoSizer_SetInfo(ToviItem item, ToviSeries series, double space,
                               double size, double x, double y, double w,
                               double h, int32_t flags);

// A single-selection list that keeps its entries in insertion order.
HWND ToviAddListBox(HWND parent, int32_t style, int32_t exStyle, int32_t id);

// A push button that issues command `id` when pressed.
HWND ToviAddButton(HWND parent, const std::string& caption, int32_t style,
                   int32_t id);

void ToviRegOnCommand(HWND window, ToviCommandHandler handler);
void ToviRegOnDrag(HWND window, ToviDragHandler handler);
void ToviListBox_EnableDragging(HWND list);
void ToviRegOnKey(HWND window, ToviKeyHandler handler);

// The text shown when the pointer rests on the control; the toolkit copies
// it. An empty text shows nothing.
void ToviSetToolTip(HWND control, const std::string& text);

// Keyboard navigation between the window's controls (Tab, Shift+Tab, Enter
// and Space on buttons, arrows in lists) when `enable` is kTrue.
void ToviEnableDialogInterface(HWND window, ToviBool enable);

void ToviDisplay(HWND window);

// Runs the event loop; returns when the window is closed.
int32_t ToviDoEvents(int32_t reserved);

// Inserts `text` at `position` (-1 appends); the position it was put at, or
// -1 when the list refused it.
int32_t ToviListBox_AddItem(HWND list, int32_t position,
                            const std::string& text);

// Removes the entry at `position`; later entries move up. kFalse when there is
// no such entry.
ToviBool ToviListBox_RemoveItem(HWND list, int32_t position);

// Removes every entry.
void ToviListBox_Clear(HWND list);

// The entry's text; empty when there is no such entry.
std::string ToviListBox_GetItem(HWND list, int32_t position);

// Position of the first entry whose whole text equals `text`, ignoring ASCII
// letter case; -1 if none.
int32_t ToviListBox_GetIndex(HWND list, const std::string& text);

// Number of entries.
int32_t ToviListBox_GetCount(HWND list);

// Puts the selected positions into `positions` (element 0 first); returns how
// many there are (0 when nothing is selected).
int32_t ToviListBox_GetSelection(HWND list, std::vector<int32_t>& positions);

// Selects the given positions (the first only, in a single-selection list);
// an empty array or -1 clears the selection.
void ToviListBox_SetSelection(HWND list, const std::vector<int32_t>& positions);

// Puts the focus mark on the entry at `position`.
void ToviListBox_SetCaret(HWND list, int32_t position);

// Moves the entry at `from` to `to`, the entries between shifting one place
// toward `from`, and makes it the selected entry with the focus mark. The
// entry itself moves, not its neighbours, so a screen reader hears the
// moved entry at its new place and not a neighbour. kFalse, with entries
// and selection as they were, when a position is out of range or the list
// refuses the entry (as AddItem may).
ToviBool ToviListBox_MoveItem(HWND list, int32_t from, int32_t to);

// The name a screen reader gives the control, where its caption or its
// window's title would not say what it holds.
void ToviSetAccessibleName(HWND control, const std::string& name);

// File dialogs. `filter` is pairs of NUL-terminated texts (description,
// patterns separated by ';') closed by one more NUL. The chosen path, or empty
// when the user cancelled. With `confirmReplace` kTrue the save dialog asks
// before it names an existing file.
std::string ToviDialog_OpenFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName, int32_t flags);
std::string ToviDialog_SaveFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                ToviBool confirmReplace);

// A drag ends, cancelled, when anything but the pointer comes between its
// begin and its drop: a key pressed (other than a modifier alone), a file
// dialog or message box shown, or the pointer taken by another window. The
// list's drag handler then hears this status once, with item -1, and the
// button's release that follows is no drop. This keeps a drop from acting
// on a list that a shortcut or a Load changed under the pointer.
inline constexpr int32_t kDragCancel = 5;

// Whether a key handler hears `key` pressed with `modifiers`: what every
// backend offers it.
inline bool ToviKeyIsOffered(int32_t key, int32_t modifiers) {
  if (key == kKeyF3 || key == kKeyF10 || key == kKeyMenu) return true;
  return key >= 0 && (modifiers & (kKeyCtrl | kKeyAlt)) != 0;
}

// Text windows: a read-only window of text in a fixed-width font, owned by
// another window, for showing what a program holds without letting it be
// edited. Screen readers read it as text.

// What a span of a text window's text stands for; each backend picks the
// colour it is drawn in.
inline constexpr int32_t kTextKeyword = 1;
inline constexpr int32_t kTextComment = 2;
inline constexpr int32_t kTextString = 3;
inline constexpr int32_t kTextMargin = 4;  // line numbers and the like

// `length` bytes of the text from byte `start` (from 0).
struct ToviTextSpan {
  int32_t kind = 0;
  int32_t start = 0;
  int32_t length = 0;
};

// A text window owned by `owner` (it stays above it and closes with it),
// with the given title and client size, hidden until shown. Closing it
// hides it. Its handle, or null when it cannot be made.
HWND ToviNewTextWindow(HWND owner, const std::string& title, int32_t width,
                       int32_t height);

// Replaces the window's text (UTF-8, lines separated by LF) and colours
// the spans, which must lie inside it; the view goes back to its top.
void ToviTextWindow_SetText(HWND view, const std::string& text,
                            const std::vector<ToviTextSpan>& spans);

// Shows the window beside its owner (kTrue), where it does not cover the
// owner when the screen has room, or hides it (kFalse). Showing it does not
// take the keyboard focus from the owner. Where the screen has no room on
// either side of the owner (and always on Wayland), the text is docked
// inside the owner instead, right of its controls, and the owner widens for
// it; hiding it gives the owner back its size and place.
void ToviTextWindow_Show(HWND view, ToviBool show);

// Whether the window is shown: the user may have closed it.
ToviBool ToviTextWindow_IsShown(HWND view);

// Context menus.

// Called when the user asks for a control's context menu with the mouse
// (the right button), after the list entry under the pointer, if any, was
// selected as a click selects it. `control` is the control's identifier.
// The result is ignored.
using ToviContextMenuHandler = int32_t (*)(int32_t control);
void ToviRegOnContextMenu(HWND window, ToviContextMenuHandler handler);

struct ToviMenuItem {
  std::string text;  // the caption; a TAB separates the shortcut shown
  int32_t id = 0;    // the command issued when chosen; never 0
  ToviBool enabled = kTrue;
};

// Pops up a menu of `items` over `control`: at the pointer with
// `atPointer` kTrue, else at the list's selected entry (or the control's
// corner when none is). The item chosen issues its id to the window's
// command handler, as a button does; a menu closed without a choice issues
// nothing.
void ToviPopupMenu(HWND control, const std::vector<ToviMenuItem>& items,
                   ToviBool atPointer);

// Questions.

// Asks the user to choose among `buttons`, shown in that order under
// `text`, in a modal box owned by `owner` and titled `caption`, with the
// warning icon: for a choice that may lose work, which a message box's OK
// cannot offer. The text's first paragraph (up to a blank line) is the
// question's headline, the rest its explanation. Enter presses `defaultButton`;
// Escape and closing the box press `cancelButton`. Like any dialog it ends a
// drag under way. The position of the button pressed; `cancelButton` when the
// box cannot be shown, so that nothing is done unasked.
int32_t ToviDialog_Ask(HWND owner, const std::string& caption,
                       const std::string& text,
                       const std::vector<std::string>& buttons,
                       int32_t defaultButton, int32_t cancelButton);
