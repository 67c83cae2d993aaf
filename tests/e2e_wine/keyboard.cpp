// kalvane driven from the keyboard alone.
#include <algorithm>

#include "tests/e2e_wine/player.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

class Keyboard {
 public:
  Keyboard(Session& session) : session_(session) {}

  HWND Control(int id) const { return GetDlgItem(session_.window, id); }

  void Press(WORD key, WORD modifier = 0) {
    if (modifier != 0) {
      PressKeyWith(modifier, key);
    } else {
      PressKey(key);
    }
    session_.Settle();
  }

  void ExpectFocus(int id, const std::string& what) {
    WaitFor([&] { return session_.ThreadInfo().hwndFocus == Control(id); },
            "the focus on " + what);
  }

  // Enter and Escape where they must not act: no dialog opens, the list
  // keeps its entries and selection.
  void ExpectNothingHappens(WORD key, const std::string& where) {
    HWND list = Control(4);
    std::vector<std::string> entries = ListEntries(list);
    int selection = ListSelection(list);
    Press(key);
    session_.AnswerMessageBoxes();
    if (!session_.DialogsOwnedBy(session_.window).empty() ||
        !session_.messages.empty()) {
      Fail(where + ": the key opened a window");
    }
    if (ListEntries(list) != entries || ListSelection(list) != selection) {
      Fail(where + ": the key changed the list");
    }
  }

 private:
  Session& session_;
};

// The events a screen reader hears about the list's entries, by child (1 up).
std::vector<std::pair<DWORD, LONG>> heard;
HWND heardList = nullptr;

void CALLBACK OnListEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                          LONG child, DWORD, DWORD) {
  if (window == heardList && object == OBJID_CLIENT && child > 0) {
    heard.emplace_back(event, child);
  }
}

// Alt+Down in the list: the first entry a reader hears of is the moved
// one, `name` at its new place, and focus and selection both land there.
void ExpectMoveHeard(HWND list, const std::string& name, LONG place) {
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SELECTION, nullptr,
                      OnListEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  heard.clear();
  heardList = list;
  PressKeyWith(VK_MENU, VK_DOWN);
  const auto has = [&](DWORD event) {
    return std::ranges::count(heard, std::pair{event, place}) > 0;
  };
  WaitFor(
      [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
          DispatchMessageW(&message);
        }
        return has(EVENT_OBJECT_FOCUS) && has(EVENT_OBJECT_SELECTION);
      },
      "focus and selection events for " + name + " after Alt+Down");
  UnhookWinEvent(hook);
  if (heard.front().second != place ||
      ListEntries(list).at(static_cast<size_t>(place - 1)) != name) {
    Fail("after Alt+Down a reader heard first of another entry than " + name);
  }
}

// Identifiers of kalvane's controls.
constexpr int kUp = 0;
constexpr int kDown = 1;
constexpr int kLoad = 3;
constexpr int kList = 4;

}  // namespace

void WalkKeyboard(const Programs& programs, const fs::path& folder) {
  fs::copy_file(programs.data / "ordered.ost", folder / "keys.ost");
  Session session(programs.kalvane, folder, L"Kalvane");
  Keyboard keys(session);

  // The first control that takes Tab has the focus from the start; only
  // Load is enabled besides the list.
  keys.ExpectFocus(kList, "the list at start");
  keys.ExpectNothingHappens(VK_ESCAPE, "Escape in the list at start");
  keys.Press(VK_TAB);
  keys.ExpectFocus(kLoad, "Load after Tab");

  // Enter presses the focused button; the dialog is answered by keyboard.
  HWND dialogOwner = session.window;
  PressKey(VK_RETURN);
  WaitFor([&] { return !session.DialogsOwnedBy(dialogOwner).empty(); },
          "the open dialog after Enter on Load");
  PressKey(VK_ESCAPE);
  WaitFor([&] { return session.DialogsOwnedBy(dialogOwner).empty(); },
          "the open dialog to close on Escape");
  session.Settle();
  keys.ExpectFocus(kLoad, "Load again once the dialog closed");
  ChooseInFileDialog(session, keys.Control(kLoad), folder / "keys.ost", false);
  if (ListEntries(keys.Control(kList)).size() != 3) Fail("keys.ost not loaded");
  // Readers that find no name of the list's own read its window text.
  wchar_t name[32] = {};
  GetWindowTextW(keys.Control(kList), name, 32);
  if (std::wstring(name) != L"Functions") Fail("the list is not \"Functions\"");

  // Arrows move the selection in the list; Enter and Escape there must not
  // turn into the commands of the buttons numbered 1 (Down) and 2 (Save).
  keys.Press(VK_TAB, VK_SHIFT);
  keys.ExpectFocus(kList, "the list after Shift+Tab");
  keys.Press(VK_DOWN);
  keys.Press(VK_DOWN);
  ExpectSoon([&]() -> std::string {
    return ListSelection(keys.Control(kList)) == 1
               ? ""
               : "two Down arrows did not select the second entry";
  });
  keys.ExpectNothingHappens(VK_RETURN, "Enter in the list");
  keys.ExpectNothingHappens(VK_ESCAPE, "Escape in the list");
  ExpectMoveHeard(keys.Control(kList), "Beta", 3);
  keys.Press('Z', VK_CONTROL);
  ExpectSoon([&]() -> std::string {
    return ListSelection(keys.Control(kList)) == 1 ? "" : "Ctrl+Z did not undo";
  });

  // Tab walks Load, Save, Up, Down in order; Space presses Down.
  for (int id : {kLoad, 2, kUp, kDown}) {
    keys.Press(VK_TAB);
    keys.ExpectFocus(id, "control " + std::to_string(id) + " in Tab order");
  }
  keys.Press(VK_SPACE);
  session.AnswerMessageBoxes();
  ExpectSoon([&]() -> std::string {
    const bool moved = ListEntries(keys.Control(kList)) ==
                           std::vector<std::string>{"Alpha", "Gamma", "Beta"} &&
                       ListSelection(keys.Control(kList)) == 2;
    return moved ? "" : "Space on Down did not move the second function down";
  });
  session.Close();
}

}  // namespace e2e
