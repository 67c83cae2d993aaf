// The event loop, with the dialog interface's keyboard handling for the
// windows that asked for it.
#include "toolkit/win32/backend.h"

namespace {

// Tab, Shift+Tab, arrows, Space and Enter go to the dialog interface of a
// window that has it turned on. Escape does not: the dialog interface would
// turn it into the command IDCANCEL, the identifier 2 that a program's own
// button may have, and a main window is not closed by Escape. It goes to the
// control instead, where a list cancels a drag with it.
bool IsDialogKey(MSG& message) {
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  const tovi::win32::WindowState* state = tovi::win32::StateOf(root);
  if (state == nullptr || !state->dialogInterface) return false;
  if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
       message.message == WM_CHAR) &&
      message.wParam == VK_ESCAPE) {
    return false;
  }
  return IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace

int32_t ToviDoEvents(int32_t /*reserved*/) {
  if (tovi::win32::TheToolkit().liveWindows == 0) return 0;
  MSG message{};
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    // Shortcuts come first, so that Alt+Down, say, does not also move the
    // list's selection.
    if (tovi::win32::OfferKey(message)) continue;
    if (IsDialogKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int32_t>(message.wParam);
}
