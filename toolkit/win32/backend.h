// What the Win32 backend's files share: the toolkit's window class and its
// per-window record, the control font, text conversion, and the hooks the
// window procedure hands messages to.
//
// Every window ToviNewWindow makes is of the toolkit's own class and carries
// a WindowState; the controls in it are the system's list and button
// classes, told apart by their class names, so a handle of any origin can be
// checked before a message is sent to it.
#pragma once

// The system's headers first: the common controls' header needs them.
#include "toolkit/tovi.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/series_layout.h"

namespace tovi::win32 {

inline constexpr wchar_t kWindowClass[] = L"ToviWindow";

// Posted to a list's window after a burst of insertions; see list.cpp.
inline constexpr UINT kResumeRedrawMessage = WM_APP + 1;

struct WindowState {
  ToviCommandHandler onCommand = nullptr;
  ToviDragHandler onDrag = nullptr;
  ToviKeyHandler onKey = nullptr;
  ToviContextMenuHandler onContextMenu = nullptr;
  bool dialogInterface = false;
  // The window's tooltip control, made with its first tooltip.
  HWND toolTips = nullptr;
  // The control that had the keyboard focus when the window was last
  // deactivated, given it back on reactivation.
  HWND lastFocus = nullptr;
  // The list and entry showing the drag insertion mark; -1 for none.
  HWND markList = nullptr;
  int32_t markItem = -1;
  // The list whose drag is under way, from its begin to its drop; null
  // when none is, also once the drag was cancelled.
  HWND dragList = nullptr;
  // Lists of this window whose drawing is off until a burst of insertions
  // is over; see list.cpp.
  std::vector<HWND> quietLists;
  // The window's DPI and the controls' font made for it; see dpi.cpp.
  UINT dpi = 96;
  HFONT font = nullptr;
  // The text window whose control is docked in this window, right of its
  // controls; null when none is. See text_window.cpp.
  HWND docked = nullptr;
};

// What Tovi() set up once for the whole program.
struct Toolkit {
  HINSTANCE instance = nullptr;
  UINT dragListMessage = 0;  // the common controls' drag list message
  int32_t liveWindows = 0;   // toolkit windows not yet destroyed
};
Toolkit& TheToolkit();

// The record of a toolkit window; null for any other handle.
WindowState* StateOf(HWND window);

// Whether `window` is a live window of the given system class.
bool HasClass(HWND window, const wchar_t* className);
inline bool IsList(HWND window) {
  return HasClass(window, WC_LISTBOXW);
}
inline bool IsButton(HWND window) {
  return HasClass(window, WC_BUTTONW);
}

// The DPI of a screen that shows one pixel for each logical one.
inline constexpr int kLogicalDpi = 96;
// The DPI of the monitor the window is on.
UINT DpiOf(HWND window);
// `logical` pixels on a screen of `dpi`.
int Scaled(int logical, UINT dpi);
// The system's message font (what dialogs use) for a screen of `dpi`; the
// caller deletes it.
HFONT CreateMessageFont(UINT dpi);
// Gives the window a client area of the given size in logical pixels, at
// its monitor's DPI, keeping its place.
void SetClientSize(HWND window, int width, int height);
// WM_DPICHANGED's rectangle: where the system suggests the window go, at
// the new DPI.
void MoveToSuggestedRect(HWND window, LPARAM suggested);

// UTF-8 to UTF-16 and back. Text that is not valid UTF-8 is read in the
// system's ANSI code page instead, which gives every byte a character, so no
// text is dropped or cut short. NUL bytes are kept.
std::wstring Widen(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view text);

// An identifier that no child of `window` has; GetDlgItem finds none.
WORD UnusedControlId(HWND window);

// A child control of `parent` with the window's font; null on failure.
HWND CreateControl(HWND parent, const wchar_t* className,
                   const std::wstring& text, DWORD style, DWORD exStyle,
                   int32_t id);

// The window procedure of every toolkit window.
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam);

// Moves the window's controls to the places the series layout gives them
// for its current client size, less what a docked text window takes.
void ApplyLayout(HWND window);

// The gap between a window's controls and the text window docked right of
// them, in logical pixels: as between the list and the button row.
inline constexpr int kDockGap = 2;
// Where the control of the text window docked in a window goes in the
// window's client area of the given size at `dpi`: at its right, leaving
// the window's controls the width left of it, less the gap.
Placement DockedPlacement(HWND view, int clientWidth, int clientHeight,
                          UINT dpi);

// The answer to DM_GETDEFID, which the dialog interface asks when Enter is
// pressed: the focused push button, or else an identifier no control has.
LRESULT DefaultButtonAnswer(HWND window);

// Turns the window's lists' drawing back on after a burst of insertions.
void ResumeRedraw(HWND window, WindowState& state);

// Gives a key the key handler hears (ToviKeyIsOffered) to the handler of
// the toolkit window the focus is in, or that owns the window it is in,
// before the focused control; true when the handler
// used it, and the message is then not dispatched.
bool OfferKey(const MSG& message);

// A notification of the common controls' drag list, sent to the list's
// window; the result is the notification's answer.
LRESULT OnDragListMessage(HWND window, WindowState& state,
                          const DRAGLISTINFO& info);

// Ends the window's drag under way, as cancelled: a key or a dialog came
// between its begin and its drop. The list lets go of the pointer, so the
// release that follows is no drop.
void CancelDrag(WindowState& state);

// WM_CONTEXTMENU from a control of `window`: a right-click on a list
// selects the entry under it, then the context menu handler hears of it.
void OnContextMenuMessage(HWND window, const WindowState& state, HWND control,
                          LPARAM point);

}  // namespace tovi::win32
