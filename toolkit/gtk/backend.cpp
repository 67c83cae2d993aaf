// The records behind the handles, and how a command reaches its window.
#include "toolkit/gtk/backend.h"

#include "toolkit/handler_call.h"

#include <deque>
#include <unordered_set>

namespace tovi::gtk {
namespace {

struct Records {
  std::deque<HWND__> all;  // a deque keeps every record where it is
  std::unordered_set<HWND> live;
  std::vector<HWND> windows;
};

// Never destroyed: a handle must stay valid to the very end of the run, and
// the records, with the widgets they own, stay reachable until then.
Records& TheRecords() {
  static Records& records = *new Records;
  return records;
}

}  // namespace

HWND NewRecord(RecordKind kind, HWND parent, int32_t id, GtkWidget* widget,
               GtkWidget* placed) {
  Records& records = TheRecords();
  HWND record = &records.all.emplace_back();
  record->kind = kind;
  record->parent = parent;
  record->id = id;
  record->widget = widget;
  records.live.insert(record);
  if (parent == nullptr) {
    if (kind == RecordKind::kWindow) records.windows.push_back(record);
  } else {
    parent->controls.push_back(record);
    // Every control starts at the container's origin; the layout gives it
    // its place when the window is allocated (see window.cpp).
    gtk_fixed_put(GTK_FIXED(parent->fixed), placed ? placed : widget, 0, 0);
  }
  return record;
}

HWND Find(HWND handle) {
  return handle != nullptr && TheRecords().live.contains(handle) ? handle
                                                                 : nullptr;
}

HWND Find(HWND handle, RecordKind kind) {
  HWND found = Find(handle);
  return found != nullptr && found->kind == kind ? found : nullptr;
}

const std::vector<HWND>& Windows() {
  return TheRecords().windows;
}

GtkWindow* OwnerWindow(HWND handle) {
  HWND found = Find(handle);
  while (found != nullptr && found->parent != nullptr) found = found->parent;
  return found == nullptr ? nullptr : GTK_WINDOW(found->widget);
}

void IssueCommand(HWND control, int32_t code) {
  HWND window = control->parent;
  if (window == nullptr || window->onCommand == nullptr) return;
  // No exception may unwind through GTK's own frames.
  CallHandler(window->onCommand, control->id, code, 0);
}

}  // namespace tovi::gtk
