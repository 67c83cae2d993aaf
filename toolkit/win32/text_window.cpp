// Text windows: a window of their own class, owned by a toolkit window,
// holding one read-only rich edit control (a system library, which screen
// readers read as text), in a fixed-width font. Where its owner's screen
// has no room for it on either side of the owner, it is docked instead: the
// control moves into the owner, right of the owner's controls, and never
// takes the keyboard from them, while the window stays hidden.
#include <richedit.h>

#include <algorithm>

#include "toolkit/contrast.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

constexpr wchar_t kTextWindowClass[] = L"ToviTextWindow";
constexpr int kEditId = 1;

bool HighContrast() {
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof(setting);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting,
                               0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

tovi::Rgb RgbOf(COLORREF colour) {
  return tovi::Rgb{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// The colours follow the system's window colours, which the control's text
// and background have; in high contrast the user chose exactly the colours
// to see, so every kind is the plain window text.
COLORREF ColourOf(int32_t kind) {
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  if (HighContrast()) return text;
  const tovi::Rgb colour =
      tovi::SpanColour(kind, RgbOf(text), RgbOf(GetSysColor(COLOR_WINDOW)));
  return RGB(colour.r, colour.g, colour.b);
}

void SetFixedFont(HWND edit, UINT dpi);
void Fill(HWND view);

// The window's control, what it shows, kept so that it can be coloured
// again when the system's colours change, and what docking it changed.
struct Shown {
  HWND edit = nullptr;
  std::string text;
  std::vector<ToviTextSpan> spans;
  // The client size it was made with, in logical pixels.
  int width = 0;
  int height = 0;
  // While docked: the width the owner's controls had, and how far the
  // owner grew and moved left to make room for the control, in pixels at
  // the owner's DPI then, which may change while docked.
  int controlsWidth = 0;
  int grownBy = 0;
  int movedBy = 0;
  UINT dockedDpi = kLogicalDpi;
};

Shown* ShownIn(HWND view) {
  return reinterpret_cast<Shown*>(GetWindowLongPtrW(view, GWLP_USERDATA));
}

HWND EditOf(HWND view) {
  const Shown* shown = ShownIn(view);
  return shown != nullptr ? shown->edit : nullptr;
}

bool IsTextWindow(HWND view) {
  return HasClass(view, kTextWindowClass) && EditOf(view) != nullptr;
}

bool IsDocked(HWND view) {
  return GetParent(EditOf(view)) != view;
}

// The rich edit control's own procedure, which every one of them has.
// (The common controls' subclassing calls would do, but a program without
// their version 6 finds them by ordinal only, and listdrag is one.)
WNDPROC richEditProcedure = nullptr;

// The control of a text window, docked or not. Docked, it must not take
// the focus from the owner's controls: the clicks that would give it the
// focus are kept from it, and it offers no context menu, as it offers none
// in its own window. Its scroll bars, outside its client area, still work.
LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_CONTEXTMENU:
      if (!HasClass(GetParent(edit), kTextWindowClass)) return 0;
      break;
    case WM_DPICHANGED_AFTERPARENT:
      // Docked, it has its owner's DPI, and the owner places it again.
      SetFixedFont(edit, DpiOf(edit));
      break;
    default:
      break;
  }
  return CallWindowProcW(richEditProcedure, edit, message, wParam, lParam);
}

LRESULT CALLBACK TextWindowProcedure(HWND view, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
  switch (message) {
    case WM_DPICHANGED:
      if (HWND edit = EditOf(view)) SetFixedFont(edit, HIWORD(wParam));
      MoveToSuggestedRect(view, lParam);
      return 0;
    case WM_SIZE: {
      HWND edit = EditOf(view);
      if (edit != nullptr && !IsDocked(view) && wParam != SIZE_MINIMIZED) {
        MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      }
      return 0;
    }
    case WM_SETFOCUS:
      if (HWND edit = EditOf(view)) SetFocus(edit);
      return 0;
    case WM_CLOSE:
      // The owner may show it again; only the owner's end destroys it.
      ShowWindow(view, SW_HIDE);
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // The colours derive from the system's, and high contrast may have
      // been switched on or off. The control is told too: it paints in
      // the system's colours, but only a top-level window hears of them.
      if (HWND edit = EditOf(view)) SendMessageW(edit, message, wParam, lParam);
      if (ShownIn(view) != nullptr) Fill(view);
      return 0;
    case WM_NCDESTROY:
      // Owned windows go before their owner's controls: a docked control
      // outlives this record, and its owner must not lay it out any more.
      if (IsTextWindow(view) && IsDocked(view)) {
        StateOf(GetWindow(view, GW_OWNER))->docked = nullptr;
      }
      delete ShownIn(view);
      SetWindowLongPtrW(view, GWLP_USERDATA, 0);
      return DefWindowProcW(view, message, wParam, lParam);
    default:
      return DefWindowProcW(view, message, wParam, lParam);
  }
}

bool RegisterTextWindowClass() {
  // The rich edit control's class lives in this library; it stays loaded
  // for the rest of the run, as the controls made from it may.
  static const bool loaded = LoadLibraryW(L"msftedit.dll") != nullptr;
  if (!loaded) return false;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = TextWindowProcedure;
  windowClass.hInstance = TheToolkit().instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kTextWindowClass;
  return RegisterClassExW(&windowClass) != 0 ||
         GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The face of a fixed-width font the system has: the usual ones for code
// (the last two are those a Wine desktop usually has), else whatever
// fixed-width face it gives for none named.
std::wstring FixedFace() {
  std::wstring face = L"Courier New";
  HDC screen = GetDC(nullptr);
  for (const wchar_t* wanted : {L"Consolas", L"Courier New", L"Liberation Mono",
                                L"DejaVu Sans Mono", L""}) {
    LOGFONTW wish{};
    wish.lfCharSet = DEFAULT_CHARSET;
    wish.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(wish.lfFaceName, wanted, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&wish);
    if (font == nullptr) continue;
    HGDIOBJ before = SelectObject(screen, font);
    wchar_t got[LF_FACESIZE] = L"";
    TEXTMETRICW metrics{};
    GetTextFaceW(screen, LF_FACESIZE, got);
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, before);
    DeleteObject(font);
    // TMPF_FIXED_PITCH set means the font is NOT fixed-width.
    const bool fixed = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    if (fixed && (*wanted == L'\0' || lstrcmpiW(got, wanted) == 0)) {
      face = got;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return face;
}

// 10 points on a screen of `dpi`. The control turns points into pixels at
// the screen's DPI, which on another monitor is not the window's.
void SetFixedFont(HWND edit, UINT dpi) {
  HDC screen = GetDC(nullptr);
  const int screenDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
  format.yHeight = MulDiv(10 * 20, static_cast<int>(dpi),
                          screenDpi > 0 ? screenDpi : kLogicalDpi);  // twips
  format.bCharSet = DEFAULT_CHARSET;
  format.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynW(format.szFaceName, FixedFace().c_str(), LF_FACESIZE);
  // The default format is what text set later takes.
  SendMessageW(edit, EM_SETCHARFORMAT, SCF_DEFAULT,
               reinterpret_cast<LPARAM>(&format));
  SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL,
               reinterpret_cast<LPARAM>(&format));
}

// The UTF-16 position of every UTF-8 byte position of `text` that starts a
// character, and of its end; the control counts in UTF-16 units.
std::vector<int32_t> Utf16Positions(const std::string& text) {
  std::vector<int32_t> at(text.size() + 1, 0);
  int32_t units = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    at[i] = units;
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  at[text.size()] = units;
  return at;
}

void Colour(HWND edit, int32_t from, int32_t to, int32_t kind) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = ColourOf(kind);
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(from), to);
  SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION,
               reinterpret_cast<LPARAM>(&format));
}

// Puts the text kept for the window into its control, coloured.
void Fill(HWND view) {
  const Shown& shown = *ShownIn(view);
  const std::string& text = shown.text;
  HWND edit = EditOf(view);
  SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
  // Each LF becomes one paragraph mark, so positions stay those of the
  // text given.
  SendMessageW(edit, WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Widen(text).c_str()));
  const std::vector<int32_t> at = Utf16Positions(text);
  const auto size = static_cast<int32_t>(text.size());
  for (const ToviTextSpan& span : shown.spans) {
    if (span.start < 0 || span.length <= 0 || span.start > size - span.length) {
      continue;
    }
    Colour(edit, at[static_cast<size_t>(span.start)],
           at[static_cast<size_t>(span.start + span.length)], span.kind);
  }
  SendMessageW(edit, EM_SETSEL, 0, 0);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit, nullptr, TRUE);
}

// Its style changed, the window is drawn again with its new frame.
void Reframe(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                   SWP_FRAMECHANGED);
}

// The control goes inside the owner, right of the owner's controls, with
// the sunken edge the list has; Tab passes it by, and it takes an
// identifier no control of the owner has, so that the program never finds
// it in place of one of its own. The owner grows by the window's width as
// far as the work area allows, moving left where it must to stay in it;
// its controls keep their width (see DockedPlacement).
void Dock(HWND view, HWND owner, const RECT& area) {
  Shown& shown = *ShownIn(view);
  WindowState& ownerState = *StateOf(owner);
  RECT client;
  GetClientRect(owner, &client);
  shown.controlsWidth = client.right;
  shown.dockedDpi = ownerState.dpi;
  HWND edit = shown.edit;
  SetWindowLongPtrW(edit, GWLP_ID, UnusedControlId(owner));
  SetWindowLongPtrW(edit, GWL_STYLE,
                    GetWindowLongPtrW(edit, GWL_STYLE) & ~WS_TABSTOP);
  SetWindowLongPtrW(edit, GWL_EXSTYLE,
                    GetWindowLongPtrW(edit, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetParent(edit, owner);
  Reframe(edit);
  SetFixedFont(edit, ownerState.dpi);
  ownerState.docked = view;
  RECT place;
  GetWindowRect(owner, &place);
  const LONG width = place.right - place.left;
  const LONG wanted = width + Scaled(shown.width + kDockGap, ownerState.dpi);
  const LONG total = std::max(width, std::min(wanted, area.right - area.left));
  shown.grownBy = total - width;
  shown.movedBy = 0;
  // A window as wide as the work area already, maximized ones among them,
  // stays where it is.
  if (shown.grownBy > 0) {
    const LONG left =
        std::max(area.left, std::min(place.left, area.right - total));
    shown.movedBy = place.left - left;
    SetWindowPos(owner, nullptr, left, place.top, total,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A window that did not grow hears of no new size.
  ApplyLayout(owner);
}

// The control goes back into its hidden window, and the owner gets back
// the width and place it had.
void Undock(HWND view) {
  Shown& shown = *ShownIn(view);
  HWND edit = shown.edit;
  HWND owner = GetParent(edit);
  StateOf(owner)->docked = nullptr;
  SetParent(edit, view);
  SetWindowLongPtrW(edit, GWLP_ID, kEditId);
  SetWindowLongPtrW(edit, GWL_STYLE,
                    GetWindowLongPtrW(edit, GWL_STYLE) | WS_TABSTOP);
  SetWindowLongPtrW(edit, GWL_EXSTYLE,
                    GetWindowLongPtrW(edit, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
  Reframe(edit);
  SetFixedFont(edit, DpiOf(view));
  RECT client;
  GetClientRect(view, &client);
  MoveWindow(edit, 0, 0, client.right, client.bottom, FALSE);
  const auto dpi = static_cast<int>(StateOf(owner)->dpi);
  const auto dockedDpi = static_cast<int>(shown.dockedDpi);
  RECT place;
  GetWindowRect(owner, &place);
  SetWindowPos(
      owner, nullptr, place.left + MulDiv(shown.movedBy, dpi, dockedDpi),
      place.top,
      std::max(place.right - place.left - MulDiv(shown.grownBy, dpi, dockedDpi),
               1L),
      place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  shown.grownBy = 0;
  shown.movedBy = 0;
  ApplyLayout(owner);
}

}  // namespace

Placement DockedPlacement(HWND view, int clientWidth, int clientHeight,
                          UINT dpi) {
  const Shown& shown = *ShownIn(view);
  // The controls keep the width they had, where the window's width allows,
  // but never take more than two thirds of it from the text.
  const int controls =
      std::max(clientWidth - Scaled(shown.width + kDockGap, dpi),
               std::min(MulDiv(shown.controlsWidth, static_cast<int>(dpi),
                               static_cast<int>(shown.dockedDpi)),
                        clientWidth * 2 / 3));
  const int left = controls + Scaled(kDockGap, dpi);
  return Placement{
      shown.edit, Rect{left, 0, std::max(clientWidth - left, 0), clientHeight}};
}

}  // namespace tovi::win32

HWND ToviNewTextWindow(HWND owner, const std::string& title, int32_t width,
                       int32_t height) {
  using namespace tovi::win32;
  if (StateOf(owner) == nullptr || !RegisterTextWindowClass()) return nullptr;
  HWND view =
      CreateWindowExW(0, kTextWindowClass, Widen(title).c_str(),
                      WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                      owner, nullptr, TheToolkit().instance, nullptr);
  if (view == nullptr) return nullptr;
  auto* shown = new Shown;
  shown->width = width;
  shown->height = height;
  SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shown));
  // In logical pixels, as the main window's size is.
  SetClientSize(view, width, height);
  RECT client;
  GetClientRect(view, &client);
  HWND edit =
      CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL |
                          WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                      0, 0, client.right, client.bottom, view,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                      TheToolkit().instance, nullptr);
  const auto procedure =
      edit == nullptr
          ? nullptr
          : reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProcedure)));
  if (procedure == nullptr) {
    DestroyWindow(view);
    return nullptr;
  }
  richEditProcedure = procedure;
  shown->edit = edit;
  // Code reads best unwrapped, and the whole text is the program's.
  SendMessageW(edit, EM_SETTARGETDEVICE, 0, 1);
  SendMessageW(edit, EM_EXLIMITTEXT, 0, -1);
  SetFixedFont(edit, DpiOf(view));
  return view;
}

void ToviTextWindow_SetText(HWND view, const std::string& text,
                            const std::vector<ToviTextSpan>& spans) {
  using namespace tovi::win32;
  if (!IsTextWindow(view)) return;
  Shown& shown = *ShownIn(view);
  shown.text = text;
  shown.spans = spans;
  Fill(view);
}

void ToviTextWindow_Show(HWND view, ToviBool show) {
  using namespace tovi::win32;
  if (!IsTextWindow(view)) return;
  if (show == kFalse) {
    if (IsDocked(view)) {
      Undock(view);
    } else {
      ShowWindow(view, SW_HIDE);
    }
    return;
  }
  if (IsDocked(view)) return;
  if (!IsWindowVisible(view)) {
    // Beside the owner on its right, or on its left where the right has no
    // room; docked in it where neither side of the owner's screen has room.
    HWND ownerWindow = GetWindow(view, GW_OWNER);
    RECT owner;
    RECT own;
    GetWindowRect(ownerWindow, &owner);
    GetWindowRect(view, &own);
    const LONG width = own.right - own.left;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST),
                    &monitor);
    const RECT& area = monitor.rcWork;
    LONG x = owner.right;
    if (x + width > area.right && owner.left - width < area.left) {
      Dock(view, ownerWindow, area);
      return;
    }
    if (x + width > area.right) x = owner.left - width;
    x = std::max(area.left, std::min(x, area.right - width));
    SetWindowPos(view, nullptr, x, owner.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(view, SW_SHOWNOACTIVATE);
}

ToviBool ToviTextWindow_IsShown(HWND view) {
  using namespace tovi::win32;
  return IsTextWindow(view) && (IsDocked(view) || IsWindowVisible(view))
             ? kTrue
             : kFalse;
}
