// Screens of any pixel density. The program is aware of each monitor's own
// DPI, so the system draws it unscaled and sharp, and everything the
// program sizes in pixels is therefore in logical pixels (those of a
// 96-DPI screen), multiplied here by the DPI of the window's monitor.
//
// The calls that know a window's own DPI came with later versions of the
// system; they are looked up at run time, and where they are missing the
// screen's one DPI stands in, which is then what every window has.
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

using DpiForWindowCall = UINT(WINAPI*)(HWND);
using ParametersForDpiCall = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustForDpiCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// A function of user32 by name; null where this system has none.
template <typename Call>
Call User32Call(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Call>(
      reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kLogicalDpi;
}

}  // namespace

UINT DpiOf(HWND window) {
  static const auto dpiForWindow =
      User32Call<DpiForWindowCall>("GetDpiForWindow");
  if (dpiForWindow != nullptr && window != nullptr) {
    if (UINT dpi = dpiForWindow(window); dpi > 0) return dpi;
  }
  return ScreenDpi();
}

int Scaled(int logical, UINT dpi) {
  return MulDiv(logical, static_cast<int>(dpi), kLogicalDpi);
}

HFONT CreateMessageFont(UINT dpi) {
  static const auto parametersForDpi =
      User32Call<ParametersForDpiCall>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (parametersForDpi != nullptr &&
      parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                       dpi)) {
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }
  // Without it the metrics are those of the screen's DPI.
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics,
                            0)) {
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi),
                           static_cast<int>(ScreenDpi()));
    return CreateFontIndirectW(&font);
  }
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void SetClientSize(HWND window, int width, int height) {
  static const auto adjustForDpi =
      User32Call<AdjustForDpiCall>("AdjustWindowRectExForDpi");
  const UINT dpi = DpiOf(window);
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
  RECT frame{0, 0, Scaled(width, dpi), Scaled(height, dpi)};
  if (adjustForDpi == nullptr ||
      !adjustForDpi(&frame, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveToSuggestedRect(HWND window, LPARAM suggested) {
  const RECT& place = *reinterpret_cast<const RECT*>(suggested);
  SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tovi::win32
