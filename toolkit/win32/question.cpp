// Questions: the system's task dialog, with the program's buttons.
//
// The task dialog lives only in version 6 of the common controls, which a
// program gets by asking for it in its manifest. kalvane does; listdrag
// links this backend too but keeps no manifest, and a direct import of the
// task dialog would stop it from starting at all. So the function is looked
// up when a question is first asked.
#include "toolkit/question_text.h"
#include "toolkit/win32/backend.h"

namespace tovi::win32 {
namespace {

using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*,
                                            BOOL*);

TaskDialogFunction TaskDialog() {
  static const TaskDialogFunction found = [] {
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    if (controls == nullptr) controls = LoadLibraryW(L"comctl32.dll");
    return controls == nullptr
               ? nullptr
               : reinterpret_cast<TaskDialogFunction>(reinterpret_cast<void*>(
                     GetProcAddress(controls, "TaskDialogIndirect")));
  }();
  return found;
}

// Button identifiers start past the system's own (IDOK to IDCONTINUE), so
// that only Escape and the close button answer IDCANCEL.
constexpr int kFirstButton = 100;

}  // namespace
}  // namespace tovi::win32

int32_t ToviDialog_Ask(HWND owner, const std::string& caption,
                       const std::string& text,
                       const std::vector<std::string>& buttons,
                       int32_t defaultButton, int32_t cancelButton) {
  using namespace tovi::win32;
  // The box takes the pointer, and with it the release of a drag.
  if (WindowState* state = StateOf(owner)) CancelDrag(*state);
  const TaskDialogFunction show = TaskDialog();
  if (show == nullptr || buttons.empty()) return cancelButton;
  const std::wstring wideCaption = Widen(caption);
  const tovi::QuestionText parts = tovi::SplitQuestionText(text);
  const std::wstring headline = Widen(parts.headline);
  const std::wstring explanation = Widen(parts.explanation);
  std::vector<std::wstring> captions;
  std::vector<TASKDIALOG_BUTTON> choices;
  captions.reserve(buttons.size());
  for (const std::string& button : buttons) captions.push_back(Widen(button));
  for (size_t i = 0; i < captions.size(); ++i) {
    choices.push_back(
        {kFirstButton + static_cast<int>(i), captions[i].c_str()});
  }
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner;
  config.hInstance = TheToolkit().instance;
  // Escape and the close button cancel; the caption stays the program's.
  config.dwFlags =
      TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.pszWindowTitle = wideCaption.c_str();
  config.pszMainIcon = TD_WARNING_ICON;
  config.pszMainInstruction = headline.c_str();
  if (!explanation.empty()) config.pszContent = explanation.c_str();
  config.cButtons = static_cast<UINT>(choices.size());
  config.pButtons = choices.data();
  config.nDefaultButton = kFirstButton + defaultButton;
  int pressed = IDCANCEL;
  if (FAILED(show(&config, &pressed, nullptr, nullptr))) return cancelButton;
  const int position = pressed - kFirstButton;
  if (position < 0 || position >= static_cast<int>(buttons.size())) {
    return cancelButton;
  }
  return position;
}
