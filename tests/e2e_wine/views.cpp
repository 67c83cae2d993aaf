// The preview window and the context menu, as the driver reads them from
// outside the program: the preview's text through its rich edit control's
// own WM_GETTEXT, the menu through the handle its window gives.
#include "tests/e2e_wine/views.h"

#include <richedit.h>

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
  HWND view = VisibleWindowOfClass(session, L"ToviTextWindow");
  if (view == nullptr) return std::nullopt;
  if (GetWindow(view, GW_OWNER) != session.window) {
    Fail("the preview is not owned by the main window");
  }
  HWND edit = FindWindowExW(view, nullptr, MSFTEDIT_CLASS, nullptr);
  if (edit == nullptr) Fail("the preview holds no rich edit control");
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

bool MenuShown(const Session& session) {
  return VisibleWindowOfClass(session, L"#32768") != nullptr;
}

}  // namespace e2e
