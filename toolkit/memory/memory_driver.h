// Drives the in-memory backend as a user would, and shows what a user would
// see. Only tests include this header.
//
// The in-memory backend keeps windows, lists and buttons as plain records.
// ToviDoEvents runs the script given to SetEventLoop (the user's actions) and
// then returns, as the real loop does when the user closes the window. File
// dialogs and questions take their answers from queues; message boxes are
// recorded and answered with OK.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/series_layout.h"
#include "toolkit/tovi.h"

namespace tovi::memory {

struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

struct DialogRecord {
  bool save;  // false for the open dialog
  HWND parent;
  std::string title;
  std::string filter;
  std::string initialName;
  int32_t flags;  // the last argument: flags, or confirmReplace when saving
};

// A question asked with ToviDialog_Ask, and how it was answered.
struct QuestionRecord {
  HWND owner;
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;
  int32_t defaultButton;
  int32_t cancelButton;
  int32_t pressed;  // the position answered
  // Whether a queued answer named one of its buttons; if not, the question
  // was closed, which presses its cancel button.
  bool answered;
};

struct DragOutcome {
  int32_t beginResult;
  std::vector<int32_t> overResults;  // one per position passed over
  int32_t dropResult;
};

// A context menu that is up, as ToviPopupMenu was given it.
struct MenuRecord {
  HWND control = nullptr;
  std::vector<ToviMenuItem> items;
  bool atPointer = false;
};

// Forgets every window, control, queued answer and record, and the layout.
void Reset();

// What the next ToviDoEvents does before it returns.
void SetEventLoop(std::function<void()> script);

// The answer of the next file dialog, open or save: a path, or empty for a
// cancel. A dialog with no queued answer is cancelled.
void AnswerNextDialog(const std::string& path);

// The answer of the next question: the caption of the button pressed.
// `whileAsked`, when given, runs while the question is up, before the
// answer: what another program does meanwhile. A question with no queued
// answer is closed, unanswered.
void AnswerNextQuestion(const std::string& button,
                        std::function<void()> whileAsked = nullptr);
const std::vector<QuestionRecord>& Questions();

// Every file dialog shown and every message box shown, in order.
const std::vector<DialogRecord>& Dialogs();
const std::vector<MessageBoxRecord>& MessageBoxes();

// The window created last by ToviNewWindow (null before the first).
HWND LastWindow();

// Presses the button `id` of `window`, as a mouse click would. Only an
// enabled button issues its command; returns whether a command was issued.
bool Click(HWND window, int32_t id);

// Clicks the list entry at `position`: it becomes the selection and gets the
// focus mark, and the window hears of the change as the list's command (code
// 1, as a native list's selection change). -1 clears the selection.
void Select(HWND list, int32_t position);

// Drags the entry at `from` over every position between it and `to`, and
// drops it on `to` (-1: a drop where there is no entry). Nothing happens
// after a begin that the handler answers with 0.
DragOutcome Drag(HWND list, int32_t from, int32_t to);

// Drags the entry at `from` over every entry below it and on below the last
// one, and drops it there, inside the list under its last entry.
DragOutcome DragToEnd(HWND list, int32_t from);

// Presses on the entry at `from` and keeps the button down: the drag
// begins, and the handler's answer is the result (0: refused, nothing
// held). A key pressed, or a file dialog or message box shown, before
// ReleaseOn ends the drag as cancelled.
int32_t PressOn(HWND list, int32_t from);

// Moves the held pointer from where it was pressed over every position up
// to `to` and releases it there (-1: where there is no entry). The handler
// hears the moves and the drop only while the drag is still under way.
DragOutcome ReleaseOn(HWND list, int32_t to);

// Presses `key` with `modifiers` (the kKey* values of tovi.h) while the
// window has the focus. The window's key handler hears the keys
// ToviKeyIsOffered names; true when the handler used it.
bool PressKey(HWND window, int32_t key, int32_t modifiers);

// Clicks the list entry at `position` with the right button: it becomes the
// selection, as with Select, and the window's context menu handler hears
// of it.
void RightClick(HWND list, int32_t position);

// The context menu that is up; null when none is.
const MenuRecord* OpenMenu();
// Chooses the item whose caption, up to its TAB, is `caption`: the menu
// closes and the item's command is issued. False, leaving the menu up, when
// no menu is up or the item is missing or disabled.
bool ChooseMenuItem(const std::string& caption);
// Closes the menu without a choice (Escape).
void CloseMenu();

// The text windows owned by `owner`, in creation order, and what they show.
std::vector<HWND> TextWindows(HWND owner);
std::string Content(HWND textWindow);
std::vector<ToviTextSpan> Spans(HWND textWindow);
bool IsShown(HWND textWindow);

// A list whose memory runs short: after `accepted` more entries, the next
// ToviListBox_AddItem fails once, refused (-1) as a full native list refuses
// it, or with std::bad_alloc as an allocation inside the control would.
enum class EntryFailure { kRefuse, kThrow };
void FailEntry(HWND list, int32_t accepted, EntryFailure how);

// Changes the window's client size; the layout follows.
void Resize(HWND window, int32_t width, int32_t height);

// What the user sees.
std::vector<std::string> Entries(HWND list);
int32_t Selection(HWND list);  // -1 when nothing is selected
int32_t Caret(HWND list);      // -1 when no entry has the focus mark
bool IsEnabled(HWND control);
bool IsDisplayed(HWND window);
bool DialogInterfaceEnabled(HWND window);
bool DraggingEnabled(HWND list);
std::string Text(HWND windowOrControl);  // title or caption
std::string ToolTip(HWND control);
int32_t ControlId(HWND control);          // -1 for a top-level window
std::vector<HWND> Controls(HWND window);  // in creation order
bool IsList(HWND control);
bool IsButton(HWND control);
Rect Bounds(HWND control);          // the control's laid-out rectangle
Rect ClientSize(HWND window);       // x and y are 0
std::string IconName(HWND window);  // resource name of its icon, empty if none

}  // namespace tovi::memory
