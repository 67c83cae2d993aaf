// The test driver of the in-memory backend, over real controls, for the
// tests of the Windows build: they make their windows hidden with the real
// toolkit and look at the real list controls through these.
#include <vector>

#include "toolkit/memory/memory_driver.h"
#include "toolkit/win32/backend.h"

namespace tovi::memory {
namespace {

// Set by FailEntry: entries still taken before one is refused; -1 for none.
int32_t entriesBeforeFailure = -1;

LRESULT CALLBACK FailingList(HWND list, UINT message, WPARAM wParam,
                             LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  if ((message == LB_INSERTSTRING || message == LB_ADDSTRING) &&
      entriesBeforeFailure >= 0 && entriesBeforeFailure-- == 0) {
    RemoveWindowSubclass(list, FailingList, id);
    return LB_ERRSPACE;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

BOOL CALLBACK CollectToolkitWindow(HWND window, LPARAM windows) {
  if (tovi::win32::StateOf(window) != nullptr) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  }
  return TRUE;
}

}  // namespace

void Reset() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectToolkitWindow,
                    reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) DestroyWindow(window);
  // Closing the last window asks the event loop to end; no loop runs here,
  // and the request must not end the next test's loop instead.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ResetLayout();
  Tovi();
}

std::vector<std::string> Entries(HWND list) {
  std::vector<std::string> entries;
  const int32_t count = ToviListBox_GetCount(list);
  for (int32_t i = 0; i < count; ++i) {
    entries.push_back(ToviListBox_GetItem(list, i));
  }
  return entries;
}

void Select(HWND list, int32_t position) {
  if (!tovi::win32::IsList(list)) return;
  SendMessageW(list, LB_SETCURSEL, position, 0);
  if (position >= 0) SendMessageW(list, LB_SETCARETINDEX, position, FALSE);
}

// A native list refuses an entry when its memory runs out (LB_ERRSPACE); it
// never throws, so both ways of failing end in that refusal here.
void FailEntry(HWND list, int32_t accepted, EntryFailure) {
  if (!tovi::win32::IsList(list)) return;
  entriesBeforeFailure = accepted;
  SetWindowSubclass(list, FailingList, 1, 0);
}

int32_t Selection(HWND list) {
  if (!tovi::win32::IsList(list)) return -1;
  LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return selected < 0 ? -1 : static_cast<int32_t>(selected);
}

}  // namespace tovi::memory
