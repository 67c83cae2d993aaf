// The open and save file dialogs.
#include "toolkit/win32/backend.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace tovi::win32 {
namespace {

// Room for extended-length paths, which the dialogs can return.
constexpr size_t kPathRoom = 32768;

// The filter keeps its NULs; two more make sure it is closed even when the
// caller left the final NUL out.
std::wstring FilterText(const std::string& filter) {
  std::wstring wide = Widen(filter);
  wide.append(2, L'\0');
  return wide;
}

// A cancelled dialog and a failed one both return false; only a failure
// leaves an error code. The user is told, since a dialog that never
// appeared must not look like a choice they made.
void ReportFailure(HWND parent) {
  DWORD code = CommDlgExtendedError();
  if (code == 0) return;
  std::wstring text = L"The file dialog could not be shown (error " +
                      std::to_wstring(code) + L").";
  MessageBoxW(parent, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

std::string ShowFileDialog(HWND parent, const std::string& title,
                           const std::string& filter,
                           const std::string& initialName, bool save,
                           DWORD flags) {
  // The dialog takes the pointer, and with it the release of a drag.
  if (WindowState* state = StateOf(parent)) CancelDrag(*state);
  std::wstring filterText = FilterText(filter);
  std::wstring titleText = Widen(title);
  std::wstring path(kPathRoom, L'\0');
  std::wstring initial = Widen(initialName);
  std::copy_n(initial.begin(), std::min(initial.size(), kPathRoom - 1),
              path.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = parent;
  dialog.lpstrFilter = filterText.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(kPathRoom);
  dialog.lpstrTitle = titleText.empty() ? nullptr : titleText.c_str();
  // The programs choose their folders by full path; the dialog must not
  // move the process's current folder under them.
  dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (save) dialog.lpstrDefExt = L"ost";

  BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) {
    ReportFailure(parent);
    return std::string();
  }
  path.resize(std::wcslen(path.c_str()));
  return Narrow(path);
}

}  // namespace
}  // namespace tovi::win32

std::string ToviDialog_OpenFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                int32_t /*flags*/) {
  return tovi::win32::ShowFileDialog(parent, title, filter, initialName, false,
                                     OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
}

std::string ToviDialog_SaveFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                ToviBool confirmReplace) {
  DWORD flags = OFN_PATHMUSTEXIST;
  if (confirmReplace != kFalse) flags |= OFN_OVERWRITEPROMPT;
  return tovi::win32::ShowFileDialog(parent, title, filter, initialName, true,
                                     flags);
}
