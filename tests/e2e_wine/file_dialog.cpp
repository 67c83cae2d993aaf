// Choosing a file in the program's open and save dialogs, by typing its
// path as a user would.
#include "tests/e2e_wine/driver.h"

namespace e2e {
namespace {

// The file name box of the system's file dialogs: an edit control, or the
// edit inside a combo box, depending on the dialog's version.
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47C;

// The edit control inside `window`, however deep the combo boxes nest it.
HWND EditWithin(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Edit") return child;
    if (HWND edit = EditWithin(child)) return edit;
  }
  return nullptr;
}

HWND FileNameBox(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, kFileNameEdit)) return edit;
  HWND combo = GetDlgItem(dialog, kFileNameCombo);
  return combo == nullptr ? nullptr : EditWithin(combo);
}

HWND OpenDialogBy(Session& session, HWND button, WORD shortcut) {
  if (shortcut != 0) {
    session.AwaitFocus();
    PressKeyWith(VK_CONTROL, shortcut);
  } else {
    session.Click(button);
  }
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        for (HWND w : session.DialogsOwnedBy(session.window)) {
          if (FileNameBox(w) != nullptr) dialog = w;
        }
        return dialog != nullptr;
      },
      "a file dialog after pressing " + Utf8(WindowText(button)));
  WaitFor([&] { return session.ThreadInfo().hwndActive == dialog; },
          "the file dialog to become active");
  return dialog;
}

// Waits until the dialog is gone, or fails with the question it asks. A
// hidden dialog is not enough: until it is destroyed the program is still
// in the dialog's own message loop, which would hand the keys pressed next
// straight to the focused control, past the program's shortcuts.
void AwaitClosed(Session& session, HWND dialog) {
  WaitFor(
      [&] {
        if (!IsWindow(dialog)) return true;
        for (HWND box : session.DialogsOwnedBy(dialog)) {
          Fail("the file dialog said: " +
               Utf8(WindowText(GetDlgItem(box, 0xFFFF))));
        }
        return false;
      },
      "the file dialog to close");
  session.AnswerMessageBoxes();
}

}  // namespace

void ChooseInFileDialog(Session& session, HWND button,
                        const std::filesystem::path& path, bool expectReplace,
                        WORD shortcut) {
  HWND dialog = OpenDialogBy(session, button, shortcut);
  HWND box = FileNameBox(dialog);
  WaitFor([&] { return session.ThreadInfo().hwndFocus == box; },
          "the file name box to have the focus");
  // Whatever name the dialog offers is replaced by the typed one.
  PressKey(VK_HOME);
  PressKeyWith(VK_SHIFT, VK_END);
  TypeText(path.wstring());
  try {
    WaitFor([&] { return WindowText(box) == path.wstring(); },
            "the typed path in the file name box");
  } catch (const Failure&) {
    Fail("typed " + Utf8(path.wstring()) + " but the file name box shows " +
         Utf8(WindowText(box)));
  }
  PressKey(VK_RETURN);
  if (expectReplace) {
    HWND question = nullptr;
    WaitFor(
        [&] {
          auto boxes = session.DialogsOwnedBy(dialog);
          question = boxes.empty() ? nullptr : boxes.back();
          return question != nullptr || !IsWindow(dialog);
        },
        "the question whether to replace " + Utf8(path.wstring()));
    if (question == nullptr) Fail("the save dialog replaced a file unasked");
    HWND yes = GetDlgItem(question, IDYES);
    if (yes == nullptr) Fail("the replace question has no Yes button");
    session.Click(yes);
  }
  AwaitClosed(session, dialog);
}

void CancelFileDialog(Session& session, HWND button) {
  HWND dialog = OpenDialogBy(session, button, 0);
  PressKey(VK_ESCAPE);
  AwaitClosed(session, dialog);
}

}  // namespace e2e
