// The Win32 backend in process, over real controls: what the programs'
// windows cannot show from outside (lookups, text conversion, the drag
// handler's answers, which commands reach the handler).
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "toolkit/series_layout.h"
#include "toolkit/tovi.h"

#include <commctrl.h>
#include <richedit.h>

namespace {

std::vector<int32_t> commands;
int32_t RecordCommand(int32_t id, int32_t, int32_t) {
  commands.push_back(id);
  return 0;
}

struct DragCall {
  int32_t list, status, item;
};
std::vector<DragCall> drags;
int32_t dragAnswer = -1;
int32_t RecordDrag(int32_t list, int32_t status, int32_t item, int32_t,
                   int32_t) {
  drags.push_back({list, status, item});
  return dragAnswer;
}

class Win32Backend : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Tovi(), 0);
    window =
        ToviNewWindow(nullptr, "Fenêtre", -1, -1, 300, 200, 0, 0, nullptr, 0);
    ASSERT_NE(window, nullptr);
    list = ToviAddListBox(window, 0, 0, 7);
    commands.clear();
    drags.clear();
  }
  void TearDown() override {
    DestroyWindow(window);
    // Closing the last window asks the loop to end; no loop follows.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    tovi::ResetLayout();
  }
  void Fill(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) ToviListBox_AddItem(list, -1, text);
  }

  HWND window = nullptr;
  HWND list = nullptr;
};

TEST_F(Win32Backend, PositionsFollowTheListAndBadOnesAreRefused) {
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "a"), 0);
  EXPECT_EQ(ToviListBox_AddItem(list, -1, "c"), 1);
  EXPECT_EQ(ToviListBox_AddItem(list, 1, "b"), 1);
  EXPECT_EQ(ToviListBox_AddItem(list, 4, "past the end"), -1);
  EXPECT_EQ(ToviListBox_AddItem(list, -5, "before the start"), -1);
  EXPECT_EQ(ToviListBox_RemoveItem(list, 3), kFalse);
  EXPECT_EQ(ToviListBox_RemoveItem(list, 0), kTrue);
  EXPECT_EQ(ToviListBox_GetItem(list, 0), "b");
  EXPECT_EQ(ToviListBox_GetItem(list, 2), "");
  EXPECT_EQ(ToviListBox_GetCount(list), 2);
  ToviListBox_Clear(list);
  EXPECT_EQ(ToviListBox_GetCount(list), 0);
}

TEST_F(Win32Backend, HandlesOfOtherKindsAreRefused) {
  HWND button = ToviAddButton(window, "Press", 0, 8);
  EXPECT_EQ(ToviListBox_AddItem(button, -1, "x"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(button, ""), -1);
  EXPECT_EQ(ToviListBox_GetCount(nullptr), 0);
  std::vector<int32_t> selected{5};
  EXPECT_EQ(ToviListBox_GetSelection(button, selected), 0);
  EXPECT_TRUE(selected.empty());
}

TEST_F(Win32Backend, LookupComparesWholeTextsIgnoringOnlyAsciiCase) {
  Fill({"Alpha", "", "école", "alpha", "Beta"});
  EXPECT_EQ(ToviListBox_GetIndex(list, "ALPHA"), 0);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Alph"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, ""), 1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "école"), 2);
  // The list's own search also folds É and é; the toolkit's lookup not.
  EXPECT_EQ(ToviListBox_GetIndex(list, "ÉCOLE"), -1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "bETA"), 4);
}

TEST_F(Win32Backend, TextKeepsEveryCharacter) {
  const std::string utf8 = "Grüße 日本";
  const std::string latin1 = "Caf\xE9";
  const std::string nul("a\0b", 3);
  Fill({utf8, latin1, "Caf\xE8", nul});
  EXPECT_EQ(ToviListBox_GetItem(list, 0), utf8);
  // Not UTF-8: read in the ANSI code page, one character for each byte,
  // so the two names stay apart and each is found again.
  EXPECT_EQ(ToviListBox_GetIndex(list, latin1), 1);
  EXPECT_EQ(ToviListBox_GetIndex(list, "Caf\xE8"), 2);
  EXPECT_NE(ToviListBox_GetItem(list, 1), ToviListBox_GetItem(list, 2));
  EXPECT_EQ(ToviListBox_GetItem(list, 1).substr(0, 3), "Caf");
  // A NUL shows as the symbol for NUL instead of ending the entry.
  EXPECT_EQ(ToviListBox_GetItem(list, 3),
            "a\xE2\x90\x80"
            "b");
  EXPECT_EQ(ToviListBox_GetIndex(list, nul), 3);
}

TEST_F(Win32Backend, SelectionAndCaret) {
  Fill({"a", "b", "c"});
  std::vector<int32_t> selected;
  EXPECT_EQ(ToviListBox_GetSelection(list, selected), 0);
  ToviListBox_SetSelection(list, {2});
  EXPECT_EQ(ToviListBox_GetSelection(list, selected), 1);
  EXPECT_EQ(selected, std::vector<int32_t>{2});
  ToviListBox_SetSelection(list, {});
  EXPECT_EQ(ToviListBox_GetSelection(list, selected), 0);
  ToviListBox_SetCaret(list, 1);
  EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), 1);
}

TEST_F(Win32Backend, WindowHasTheAskedClientSizeTitleAndIcon) {
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  wchar_t title[32] = {};
  GetWindowTextW(window, title, 32);
  EXPECT_STREQ(title, L"Fenêtre");
  HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
  HWND withIcon =
      ToviNewWindow(nullptr, "Icon", -1, -1, 100, 100, 0, 0, icon, 0);
  EXPECT_EQ(SendMessageW(withIcon, WM_GETICON, ICON_BIG, 0),
            reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(SendMessageW(withIcon, WM_GETICON, ICON_SMALL, 0),
            reinterpret_cast<LRESULT>(icon));
  DestroyWindow(withIcon);
}

TEST_F(Win32Backend, ResizingLaysTheControlsOutAgain) {
  HWND button = ToviAddButton(window, "Press", 0, 8);
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 27, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviAutoSizer_SetInfo(button, kMainSeries, 2, 25, 0, 0, 1, 1, 0);
  ToviDisplay(window);
  RECT frame{0, 0, 500, 400};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
  for (const tovi::Placement& placed : tovi::LayoutWindow(window, 500, 400)) {
    RECT area;
    GetWindowRect(placed.control, &area);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, placed.bounds.x);
    EXPECT_EQ(area.top, placed.bounds.y);
    EXPECT_EQ(area.right - area.left, placed.bounds.width);
    EXPECT_EQ(area.bottom - area.top, placed.bounds.height);
  }
  RECT buttonArea;
  GetWindowRect(button, &buttonArea);
  EXPECT_EQ(buttonArea.bottom - buttonArea.top, 25);
}

TEST_F(Win32Backend, OnlyControlsCommandsReachTheHandlerWithTheirWholeId) {
  HWND button = ToviAddButton(window, "Press", 0, 70000);
  ToviRegOnCommand(window, RecordCommand);
  EXPECT_EQ(GetDlgItem(window, 70000), button);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(70000, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  // What the dialog interface makes up for Enter and Escape: IDOK and
  // IDCANCEL without a control of ours.
  SendMessageW(window, WM_COMMAND, IDOK, 0);
  SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(commands, std::vector<int32_t>{70000});
}

TEST_F(Win32Backend, EnterPressesOnlyTheFocusedButton) {
  HWND button = ToviAddButton(window, "Press", 0, 1);
  ToviDisplay(window);
  SetFocus(button);
  EXPECT_EQ(SendMessageW(window, DM_GETDEFID, 0, 0),
            MAKELRESULT(1, DC_HASDEFID));
  SetFocus(list);
  LRESULT answer = SendMessageW(window, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(answer), DC_HASDEFID);
  EXPECT_EQ(GetDlgItem(window, LOWORD(answer)), nullptr);
}

TEST_F(Win32Backend, TextWindowWithNoRoomBesideItsOwnerDocksInIt) {
  HWND button = ToviAddButton(window, "OK", 0, IDOK);
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 27, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviAutoSizer_SetInfo(button, kMainSeries, 2, 25, 0, 0, 1, 1, 0);
  ToviDisplay(window);
  RECT before;
  GetWindowRect(window, &before);
  // Wider than any screen: neither side of the window has room for it.
  HWND view = ToviNewTextWindow(window, "Text", 20000, 100);
  ToviTextWindow_Show(view, kTrue);
  EXPECT_EQ(ToviTextWindow_IsShown(view), kTrue);
  HWND edit = FindWindowExW(window, nullptr, MSFTEDIT_CLASS, nullptr);
  ASSERT_NE(edit, nullptr);
  // The program finds its own controls by their identifiers, as before.
  EXPECT_EQ(GetDlgItem(window, IDOK), button);
  // The window grew to its work area's width; the list kept its width, and
  // the text stands right of it.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                  &monitor);
  RECT grown;
  GetWindowRect(window, &grown);
  EXPECT_EQ(grown.right - grown.left,
            monitor.rcWork.right - monitor.rcWork.left);
  RECT listArea;
  RECT editArea;
  GetWindowRect(list, &listArea);
  GetWindowRect(edit, &editArea);
  EXPECT_EQ(listArea.right - listArea.left, 300);
  EXPECT_GT(editArea.left, listArea.right);
  ToviTextWindow_Show(view, kFalse);
  EXPECT_EQ(ToviTextWindow_IsShown(view), kFalse);
  EXPECT_EQ(FindWindowExW(window, nullptr, MSFTEDIT_CLASS, nullptr), nullptr);
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&after, &before));
}

TEST_F(Win32Backend, DragHandlerAnswersAreHonoured) {
  Fill({"a", "b", "c"});
  ToviAutoSizer_SetInfo(list, kMainSeries, 0, 1, 0, 0, 1, 1,
                        kSizeFromSpaceLeft);
  ToviListBox_EnableDragging(list);
  ToviRegOnDrag(window, RecordDrag);
  ToviDisplay(window);
  const UINT message = RegisterWindowMessageW(DRAGLISTMSGSTRING);
  auto notify = [&](UINT what, int entry) {
    // Below the last entry when `entry` is past the end.
    RECT area;
    SendMessageW(list, LB_GETITEMRECT, std::min(entry, 2),
                 reinterpret_cast<LPARAM>(&area));
    POINT at{area.left + 5, entry < 3 ? area.top + 2 : area.bottom + 20};
    ClientToScreen(list, &at);
    DRAGLISTINFO info{what, list, at};
    return SendMessageW(window, message, 7, reinterpret_cast<LPARAM>(&info));
  };
  dragAnswer = 0;
  EXPECT_EQ(notify(DL_BEGINDRAG, 1), FALSE);
  // Nothing more of a refused drag reaches the handler.
  EXPECT_EQ(notify(DL_DRAGGING, 2), DL_STOPCURSOR);
  dragAnswer = -1;
  EXPECT_EQ(notify(DL_BEGINDRAG, 1), TRUE);
  EXPECT_EQ(notify(DL_DRAGGING, 2), DL_MOVECURSOR);
  dragAnswer = 0;
  EXPECT_EQ(notify(DL_DRAGGING, 2), DL_STOPCURSOR);
  notify(DL_DROPPED, 3);
  ASSERT_EQ(drags.size(), 5u);
  EXPECT_EQ(drags[0].list, 7);
  EXPECT_EQ(drags[1].status, kDragBegin);
  EXPECT_EQ(drags[1].item, 1);
  EXPECT_EQ(drags[3].status, kDragOver);
  EXPECT_EQ(drags[3].item, 2);
  // Below the last entry, inside the list: the drop at the end.
  EXPECT_EQ(drags[4].status, kDragDropEnd);
  EXPECT_EQ(drags[4].item, 3);
}

// Memory can run out in any handler; the exception must end in the backend,
// never unwind through the system's window procedure.
TEST_F(Win32Backend, HandlersThatThrowStopInTheBackend) {
  HWND button = ToviAddButton(window, "Press", 0, 1);
  ToviListBox_EnableDragging(list);
  ToviRegOnCommand(window, [](int32_t, int32_t, int32_t) -> int32_t {
    throw std::bad_alloc();
  });
  ToviRegOnDrag(window,
                [](int32_t, int32_t, int32_t, int32_t, int32_t) -> int32_t {
                  throw std::bad_alloc();
                });
  EXPECT_NO_THROW(SendMessageW(window, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                               reinterpret_cast<LPARAM>(button)));
  DRAGLISTINFO begin{DL_BEGINDRAG, list, POINT{0, 0}};
  LRESULT answer = -1;
  EXPECT_NO_THROW(
      answer = SendMessageW(window, RegisterWindowMessageW(DRAGLISTMSGSTRING),
                            7, reinterpret_cast<LPARAM>(&begin)));
  EXPECT_EQ(answer, FALSE);
}

TEST_F(Win32Backend, EventLoopEndsWhenTheLastWindowCloses) {
  HWND other =
      ToviNewWindow(nullptr, "Other", -1, -1, 100, 100, 0, 0, nullptr, 0);
  PostMessageW(other, WM_CLOSE, 0, 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(ToviDoEvents(0), 0);
  EXPECT_FALSE(IsWindow(other));
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
