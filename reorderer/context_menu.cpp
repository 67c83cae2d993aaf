// The function list's context menu, and the keys beyond the buttons that
// gestures.cpp does not handle.
//
// The menu names every gesture with its shortcut, so a user finds them
// without the README; an item that would do nothing is greyed out. It
// opens on a right-click (on the entry under the pointer, which the click
// selects), on Shift+F10 and on the Menu key (at the selected entry).
// F3 shows or hides the preview from anywhere in the program; Alt+Home and
// Alt+End move the selected function to the top and the bottom.
#include <vector>

#include "reorderer/kalvane.h"
#include "reorderer/state.h"

namespace {

std::vector<ToviMenuItem> MenuItems() {
  const SourceDocument& doc = kalvane::document;
  const int32_t selected = kalvane::SelectedFunction();
  const bool movable =
      doc.problem.empty() && selected >= 0 && selected <= doc.lastFunction;
  const auto on = [](bool enabled) { return enabled ? kTrue : kFalse; };
  // Up leaves the first two functions where they are, as the Up button
  // does; Down and the others act wherever they change something.
  return {
      {"Move Up\tAlt+Up", kMenuMoveUp, on(movable && selected >= 2)},
      {"Move Down\tAlt+Down", kMenuMoveDown,
       on(movable && selected < doc.lastFunction)},
      {"Move to Top\tAlt+Home", kMenuMoveToTop, on(movable && selected > 0)},
      {"Move to Bottom\tAlt+End", kMenuMoveToBottom,
       on(movable && selected < doc.lastFunction)},
      // True exactly when sorting would change the order.
      {"Sort by Name", kMenuSortByName,
       on(SortWouldChangeOrder(doc, kalvane::FunctionList()))},
      {"Undo\tCtrl+Z", kMenuUndo, on(!doc.history.undo.empty())},
      {"Redo\tCtrl+Y", kMenuRedo, on(!doc.history.redo.empty())},
      {PreviewShown() ? "Hide Preview\tF3" : "Show Preview\tF3", kMenuPreview,
       kTrue},
  };
}

void PopUpMenu(bool atPointer) {
  ToviPopupMenu(kalvane::FunctionList(), MenuItems(),
                atPointer ? kTrue : kFalse);
}

// The keys handled here; the result says whether the key was used.
bool MenuKey(int32_t key, int32_t modifiers) {
  if (key == kKeyF3 && modifiers == 0) {
    TogglePreview();
    return true;
  }
  if (key == kKeyHome && modifiers == kKeyAlt) {
    MoveFunctionToTop(kalvane::document, kalvane::FunctionList());
    return true;
  }
  if (key == kKeyEnd && modifiers == kKeyAlt) {
    MoveFunctionToBottom(kalvane::document, kalvane::FunctionList());
    return true;
  }
  if ((key == kKeyF10 && modifiers == kKeyShift) ||
      (key == kKeyMenu && modifiers == 0)) {
    PopUpMenu(false);
    return true;
  }
  return false;
}

}  // namespace

int32_t OnKeyAnywhere(int32_t key, int32_t modifiers) {
  // Whatever the key does, it ends a drag under way, as OnKey's keys do.
  EndFunctionDrag();
  const int32_t used = MenuKey(key, modifiers) ? kTrue : OnKey(key, modifiers);
  FollowInPreview();
  return used;
}

int32_t OnContextMenu(int32_t control) {
  if (control != kFunctionList) return 0;
  // The click selected the entry under the pointer before the menu opens.
  FollowInPreview();
  PopUpMenu(true);
  return 0;
}

void OnMenuCommand(int32_t id) {
  SourceDocument& doc = kalvane::document;
  HWND list = kalvane::FunctionList();
  switch (id) {
    case kMenuMoveUp:
      MoveFunctionUp(doc, list);
      break;
    case kMenuMoveDown:
      MoveFunctionDown(doc, list);
      break;
    case kMenuMoveToTop:
      MoveFunctionToTop(doc, list);
      break;
    case kMenuMoveToBottom:
      MoveFunctionToBottom(doc, list);
      break;
    case kMenuSortByName:
      SortFunctionsByName(doc, list);
      break;
    case kMenuUndo:
      UndoMove(doc, list);
      break;
    case kMenuRedo:
      RedoMove(doc, list);
      break;
    case kMenuPreview:
      TogglePreview();
      break;
    default:
      break;
  }
}
