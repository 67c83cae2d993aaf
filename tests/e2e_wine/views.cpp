// The preview window and the context menu, as the driver reads them from
// outside the program: the preview's text through its rich edit control's
// own WM_GETTEXT, the menu through the handle its window gives.
#include "tests/e2e_wine/views.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "toolkit/contrast.h"

#include "tests/scenarios/scenario.h"

namespace e2e {
namespace {

struct Search {
  DWORD process;
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window) &&
      ClassOf(window) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindowOfClass(const Session& session, const wchar_t* className) {
  Search search{session.process.dwProcessId, className};
  EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The preview's rich edit control, in a window of its own owned by the
// main window or, where the screen has no room beside the main window,
// docked inside it; null while hidden. Either way it never has the
// keyboard.
HWND ShownPreview(const Session& session) {
  HWND edit = nullptr;
  if (HWND view = VisibleWindowOfClass(session, L"ToviTextWindow")) {
    if (GetWindow(view, GW_OWNER) != session.window) {
      Fail("the preview is not owned by the main window");
    }
    edit = FindWindowExW(view, nullptr, MSFTEDIT_CLASS, nullptr);
    if (edit == nullptr) Fail("the preview holds no rich edit control");
  } else {
    edit = FindWindowExW(session.window, nullptr, MSFTEDIT_CLASS, nullptr);
    if (edit != nullptr && !IsWindowVisible(edit)) edit = nullptr;
  }
  if (edit != nullptr && session.ThreadInfo().hwndFocus == edit) {
    Fail("the preview has the keyboard");
  }
  return edit;
}

// The text of a control of another process, whole: asked of the control
// itself, since GetWindowText reads only captions across processes.
std::wstring ControlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000,
                           &length)) {
    Fail("the preview does not answer");
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, length + 1,
                      reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000,
                      &copied);
  text.resize(std::min<size_t>(copied, length));
  return text;
}

}  // namespace

std::optional<std::vector<std::string>> PreviewLines(const Session& session) {
  HWND edit = ShownPreview(session);
  if (edit == nullptr) return std::nullopt;
  // The control ends its paragraphs with CR, or CR LF when asked for text.
  std::string text = Utf8(ControlText(edit));
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      lines.push_back(scenario::PreviewLine(line));
      line.clear();
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    } else {
      line += text[i];
    }
  }
  return lines;
}

namespace {

// What the screen shows of the control's client area, row by row, each
// pixel as 0xRRGGBB; empty when it cannot be read.
std::vector<uint32_t> ScreenPixels(HWND control, RECT& client) {
  GetClientRect(control, &client);
  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = client.right;
  format.bmiHeader.biHeight = -client.bottom;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> pixels;
  if (bitmap != nullptr) {
    HGDIOBJ before = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, client.right, client.bottom, screen, origin.x, origin.y,
           SRCCOPY);
    SelectObject(copy, before);
    const auto* first = static_cast<const uint32_t*>(bits);
    for (LONG i = 0; i < client.right * client.bottom; ++i) {
      pixels.push_back(first[i] & 0xFFFFFF);
    }
    DeleteObject(bitmap);
  }
  DeleteDC(copy);
  ReleaseDC(nullptr, screen);
  return pixels;
}

tovi::Rgb RgbOf(uint32_t pixel) {
  return tovi::Rgb{static_cast<uint8_t>(pixel >> 16),
                   static_cast<uint8_t>(pixel >> 8),
                   static_cast<uint8_t>(pixel)};
}

std::string Named(uint32_t pixel) {
  const tovi::Rgb c = RgbOf(pixel);
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," +
         std::to_string(c.b);
}

}  // namespace

std::string PreviewColoursMismatch(const Session& session, size_t colours) {
  HWND edit = ShownPreview(session);
  if (edit == nullptr) return "the preview is hidden";
  RECT client;
  const std::vector<uint32_t> pixels = ScreenPixels(edit, client);
  if (pixels.empty()) return "the preview's pixels cannot be read";
  std::map<uint32_t, int> counts;
  for (uint32_t pixel : pixels) ++counts[pixel];
  const uint32_t background =
      std::ranges::max_element(counts, {}, [](const auto& entry) {
        return entry.second;
      })->first;
  const tovi::Rgb paper = RgbOf(background);
  // Glyph edges may be smoothed (the system does so at larger sizes
  // whatever the setting), mixing the text colour into the background, so
  // each glyph (touching pixels other than the background) is judged by
  // its most contrasting pixel: the colour it is drawn in.
  const LONG width = client.right;
  const auto size = static_cast<LONG>(pixels.size());
  std::vector<bool> seen(pixels.size(), false);
  std::map<uint32_t, double> inks;
  for (LONG start = 0; start < size; ++start) {
    if (seen[static_cast<size_t>(start)] ||
        pixels[static_cast<size_t>(start)] == background) {
      continue;
    }
    std::vector<LONG> pending{start};
    seen[static_cast<size_t>(start)] = true;
    uint32_t ink = pixels[static_cast<size_t>(start)];
    double best = 0;
    while (!pending.empty()) {
      const LONG at = pending.back();
      pending.pop_back();
      const uint32_t pixel = pixels[static_cast<size_t>(at)];
      const double ratio = tovi::ContrastRatio(RgbOf(pixel), paper);
      if (ratio > best) {
        best = ratio;
        ink = pixel;
      }
      for (LONG dy = -1; dy <= 1; ++dy) {
        for (LONG dx = -1; dx <= 1; ++dx) {
          const LONG x = at % width + dx;
          const LONG next = at + dy * width + dx;
          if (x < 0 || x >= width || next < 0 || next >= size ||
              seen[static_cast<size_t>(next)] ||
              pixels[static_cast<size_t>(next)] == background) {
            continue;
          }
          seen[static_cast<size_t>(next)] = true;
          pending.push_back(next);
        }
      }
    }
    inks.emplace(ink, best);
  }
  for (const auto& [ink, ratio] : inks) {
    if (ratio < 4.5) {
      return "text in " + Named(ink) + " reads at " + std::to_string(ratio) +
             ":1 on " + Named(background);
    }
  }
  if (inks.size() < colours) {
    return "the preview shows " + std::to_string(inks.size()) +
           " text colours on " + Named(background);
  }
  return "";
}

std::string ClippedButton(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != L"Button") continue;
    // Text is drawn without smoothing (the test prefix turns it off), so
    // the caption's pixels are exactly those of the text colour; a caption
    // cut by the button reaches into its raised edge or past it.
    const uint32_t ink = [&] {
      const COLORREF c =
          GetSysColor(IsWindowEnabled(child) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
      return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 |
                                   GetBValue(c));
    }();
    RECT client;
    const std::vector<uint32_t> pixels = ScreenPixels(child, client);
    RECT inkBox{client.right, client.bottom, -1, -1};
    for (LONG y = 0; y < client.bottom; ++y) {
      for (LONG x = 0; x < client.right; ++x) {
        if (pixels[static_cast<size_t>(y * client.right + x)] != ink) continue;
        inkBox = RECT{std::min(inkBox.left, x), std::min(inkBox.top, y),
                      std::max(inkBox.right, x), std::max(inkBox.bottom, y)};
      }
    }
    const std::string caption = Utf8(WindowText(child));
    if (inkBox.right < 0) return caption + ": no caption shows";
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);
    if (inkBox.left < edgeX || inkBox.top < edgeY ||
        inkBox.right >= client.right - edgeX ||
        inkBox.bottom >= client.bottom - edgeY) {
      char where[120];
      snprintf(where, sizeof(where), " reaches %ld,%ld-%ld,%ld of %ldx%ld",
               inkBox.left, inkBox.top, inkBox.right, inkBox.bottom,
               client.right, client.bottom);
      return caption + where + ", into the button's edge";
    }
  }
  return "";
}

bool MenuShown(const Session& session) {
  return VisibleWindowOfClass(session, L"#32768") != nullptr;
}

}  // namespace e2e
