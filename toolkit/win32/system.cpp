// The toolkit's start: the common controls, COM for the file dialogs, the
// window class.
#include "toolkit/win32/backend.h"

#include <objbase.h>

namespace tovi::win32 {

Toolkit& TheToolkit() {
  static Toolkit toolkit;
  return toolkit;
}

namespace {

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The face colour of dialogs, so the gaps between controls look like a
  // dialog's and not like a document's.
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0 ||
         GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace
}  // namespace tovi::win32

int32_t Tovi() {
  using namespace tovi::win32;
  Toolkit& toolkit = TheToolkit();
  if (toolkit.instance != nullptr) return 0;
  // Tooltips are among the bar classes.
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  if (!InitCommonControlsEx(&controls)) return 1;
  // The file dialogs host shell components, which want a single-threaded
  // apartment on the thread that shows them. A thread already set up
  // otherwise keeps its setting; the dialogs still work there.
  HRESULT com = CoInitializeEx(
      nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (FAILED(com) && com != RPC_E_CHANGED_MODE) return 1;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance)) return 1;
  toolkit.dragListMessage = RegisterWindowMessageW(DRAGLISTMSGSTRING);
  if (toolkit.dragListMessage == 0) return 1;
  toolkit.instance = instance;
  return 0;
}
