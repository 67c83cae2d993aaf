// Message boxes: the system's own, with the text read as the lists read
// theirs.
#include "toolkit/win32/backend.h"

int ToviMessageBoxA(HWND owner, const char* text, const char* caption,
                    UINT style) {
  const std::wstring wideText = tovi::win32::Widen(text == nullptr ? "" : text);
  // A null caption gives the system's own, "Error".
  const std::wstring wideCaption =
      tovi::win32::Widen(caption == nullptr ? "" : caption);
  return MessageBoxW(owner, wideText.c_str(),
                     caption == nullptr ? nullptr : wideCaption.c_str(), style);
}
