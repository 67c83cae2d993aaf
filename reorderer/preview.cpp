// The preview window: the selected function's lines as they would be saved
// now. It is made the first time F3 or the menu asks for it, so the main
// window alone is what a user sees by default and a session that never
// previews pays nothing for it. While hidden it is not kept up to date;
// showing it brings it up to date first.
#include "document/preview.h"
#include "reorderer/kalvane.h"
#include "reorderer/state.h"

namespace {

void ShowSelectedFunction() {
  const PreviewText preview =
      BuildPreview(kalvane::document, kalvane::SelectedFunction());
  ToviTextWindow_SetText(kalvane::previewWindow, preview.text, preview.spans);
}

}  // namespace

bool PreviewShown() {
  return kalvane::previewWindow != nullptr &&
         ToviTextWindow_IsShown(kalvane::previewWindow) != kFalse;
}

void TogglePreview() {
  if (PreviewShown()) {
    ToviTextWindow_Show(kalvane::previewWindow, kFalse);
    return;
  }
  if (kalvane::previewWindow == nullptr) {
    kalvane::previewWindow =
        ToviNewTextWindow(kalvane::mainWindow, "Kalvane Preview", 420, 300);
    if (kalvane::previewWindow == nullptr) return;
  }
  ShowSelectedFunction();
  ToviTextWindow_Show(kalvane::previewWindow, kTrue);
}

void FollowInPreview() {
  if (PreviewShown()) ShowSelectedFunction();
}

int32_t OnListDrag(int32_t list, int32_t status, int32_t item, int32_t x,
                   int32_t y) {
  const int32_t answer = OnFunctionDrag(list, status, item, x, y);
  // The pointer passing over entries changes nothing the preview shows; a
  // drag beginning selects its function and a drop moves it.
  if (status != kDragOver && status != kDragOverEnd) FollowInPreview();
  return answer;
}
