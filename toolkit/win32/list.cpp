// List controls and their entries, over the system's list box messages.
#include <algorithm>

#include "toolkit/win32/backend.h"

#include <oleacc.h>

namespace tovi::win32 {
namespace {

// A list box entry ends at its first NUL; a NUL in the text is shown as the
// symbol for NUL instead, so the rest of the text stays and a lookup of the
// same text still finds it.
std::wstring EntryText(std::string_view text) {
  std::wstring wide = Widen(text);
  std::replace(wide.begin(), wide.end(), L'\0', L'\x2400');
  return wide;
}

std::wstring ReadEntry(HWND list, int32_t position) {
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, position, 0);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT copied = SendMessageW(list, LB_GETTEXT, position,
                                reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
  return text;
}

wchar_t AsciiLower(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) {
    return AsciiLower(x) == AsciiLower(y);
  });
}

// LB_ERR and LB_ERRSPACE are negative; either means no position.
int32_t PositionOf(LRESULT result) {
  return result < 0 ? -1 : static_cast<int32_t>(result);
}

// Filling a list with thousands of entries one by one would redraw it for
// each. The first insertion of a burst turns drawing off and posts a note
// to the list's window; the note is read only once the program is back in
// a message loop (its own or a modal one), so the whole burst appears at
// once.
void SuspendRedraw(HWND list) {
  HWND window = GetParent(list);
  WindowState* state = StateOf(window);
  if (state == nullptr ||
      std::ranges::find(state->quietLists, list) != state->quietLists.end()) {
    return;
  }
  if (state->quietLists.empty() &&
      !PostMessageW(window, kResumeRedrawMessage, 0, 0)) {
    return;
  }
  state->quietLists.push_back(list);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
}

}  // namespace

void ResumeRedraw(HWND window, WindowState& state) {
  for (HWND list : state.quietLists) {
    if (!IsChild(window, list)) continue;
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
  }
  state.quietLists.clear();
}

}  // namespace tovi::win32

using tovi::win32::IsList;
using tovi::win32::PositionOf;
using tovi::win32::ReadEntry;

HWND ToviAddListBox(HWND parent, int32_t style, int32_t exStyle, int32_t id) {
  // No integral height: the list fills the height the layout gives it, not
  // the nearest whole number of entries.
  DWORD listStyle = static_cast<DWORD>(style) | LBS_NOTIFY |
                    LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
  return tovi::win32::CreateControl(
      parent, WC_LISTBOXW, std::wstring(), listStyle,
      static_cast<DWORD>(exStyle) | WS_EX_CLIENTEDGE, id);
}

int32_t ToviListBox_AddItem(HWND list, int32_t position,
                            const std::string& text) {
  if (!IsList(list)) return -1;
  tovi::win32::SuspendRedraw(list);
  std::wstring entry = tovi::win32::EntryText(text);
  return PositionOf(SendMessageW(list, LB_INSERTSTRING, position,
                                 reinterpret_cast<LPARAM>(entry.c_str())));
}

ToviBool ToviListBox_RemoveItem(HWND list, int32_t position) {
  if (!IsList(list) || position < 0) return kFalse;
  return SendMessageW(list, LB_DELETESTRING, position, 0) == LB_ERR ? kFalse
                                                                    : kTrue;
}

void ToviListBox_Clear(HWND list) {
  if (IsList(list)) SendMessageW(list, LB_RESETCONTENT, 0, 0);
}

std::string ToviListBox_GetItem(HWND list, int32_t position) {
  if (!IsList(list) || position < 0) return std::string();
  return tovi::win32::Narrow(ReadEntry(list, position));
}

int32_t ToviListBox_GetIndex(HWND list, const std::string& text) {
  if (!IsList(list)) return -1;
  std::wstring wanted = tovi::win32::EntryText(text);
  // The list's own search finds no empty text, which is a name too.
  if (wanted.empty()) {
    const int32_t count = ToviListBox_GetCount(list);
    for (int32_t i = 0; i < count; ++i) {
      if (SendMessageW(list, LB_GETTEXTLEN, i, 0) == 0) return i;
    }
    return -1;
  }
  // The list's own search ignores letter case by the rules of the user's
  // language, which may join texts that differ in more than ASCII case.
  // Each entry it finds is checked; the search goes on past a false match
  // and ends where it wraps around to the start.
  LRESULT from = -1;
  for (;;) {
    LRESULT found = SendMessageW(list, LB_FINDSTRINGEXACT, from,
                                 reinterpret_cast<LPARAM>(wanted.c_str()));
    if (found < 0 || found <= from) return -1;
    int32_t position = static_cast<int32_t>(found);
    if (tovi::win32::EqualIgnoringAsciiCase(ReadEntry(list, position),
                                            wanted)) {
      return position;
    }
    from = found;
  }
}

int32_t ToviListBox_GetCount(HWND list) {
  if (!IsList(list)) return 0;
  return std::max(PositionOf(SendMessageW(list, LB_GETCOUNT, 0, 0)), 0);
}

int32_t ToviListBox_GetSelection(HWND list, std::vector<int32_t>& positions) {
  positions.clear();
  if (!IsList(list)) return 0;
  int32_t selected = PositionOf(SendMessageW(list, LB_GETCURSEL, 0, 0));
  if (selected < 0) return 0;
  positions.push_back(selected);
  return 1;
}

void ToviListBox_SetSelection(HWND list,
                              const std::vector<int32_t>& positions) {
  if (!IsList(list)) return;
  int32_t position = positions.empty() ? -1 : positions.front();
  SendMessageW(list, LB_SETCURSEL, position, 0);
}

void ToviListBox_SetCaret(HWND list, int32_t position) {
  if (IsList(list)) SendMessageW(list, LB_SETCARETINDEX, position, FALSE);
}

// The list box has no move of its own: the moved entry itself is taken out
// and put in again, so a screen reader hears of that entry and not of the
// neighbour it passed. The list keeps its selection on the entry it was on
// and says nothing once it is there already, so the selection and focus
// events are raised here for the moved entry, after it stands in its place.
ToviBool ToviListBox_MoveItem(HWND list, int32_t from, int32_t to) {
  const int32_t count = ToviListBox_GetCount(list);
  if (!IsList(list) || from < 0 || from >= count || to < 0 || to >= count) {
    return kFalse;
  }
  const std::wstring text = ReadEntry(list, from);
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  // The list shows the entry moved, not its way out and in, and the entries
  // stay where they were on screen but for the move itself.
  tovi::win32::SuspendRedraw(list);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  if (SendMessageW(list, LB_DELETESTRING, from, 0) == LB_ERR) return kFalse;
  if (PositionOf(SendMessageW(list, LB_INSERTSTRING, to,
                              reinterpret_cast<LPARAM>(text.c_str()))) != to) {
    // A list short of memory: the entry goes back where it was, taking the
    // room it has just given up.
    SendMessageW(list, LB_INSERTSTRING, from,
                 reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(list, LB_SETCURSEL, selected, 0);
    return kFalse;
  }
  SendMessageW(list, LB_SETTOPINDEX, top, 0);
  SendMessageW(list, LB_SETCURSEL, to, 0);
  SendMessageW(list, LB_SETCARETINDEX, to, FALSE);
  // Child identifiers of a list's entries count from 1.
  const LONG child = to + 1;
  NotifyWinEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, child);
  if (GetFocus() == list) {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, child);
  }
  return kTrue;
}

void ToviSetAccessibleName(HWND control, const std::string& name) {
  if (!IsWindow(control) ||
      tovi::win32::StateOf(GetParent(control)) == nullptr) {
    return;
  }
  const std::wstring wide = tovi::win32::Widen(name);
  // A list draws no text of its own, so its window text can carry the name
  // for readers that take a control's name from there.
  if (IsList(control)) SetWindowTextW(control, wide.c_str());
  // The system's accessibility proxies would name a list after the label
  // before it, which this window has none of; the name given here stands
  // in for that label.
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr,
                                 CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                             CHILDID_SELF, PROPID_ACC_NAME, wide.c_str());
    services->Release();
  }
}
