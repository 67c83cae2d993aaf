// The records behind the handles, and how a command reaches its window.
#include "toolkit/fltk/backend.h"

#include <deque>
#include <unordered_set>

#include "toolkit/handler_call.h"

namespace tovi::fltk {
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

HWND NewRecord(RecordKind kind, HWND parent, int32_t id, Fl_Widget* widget) {
  Records& records = TheRecords();
  HWND record = &records.all.emplace_back();
  record->kind = kind;
  record->parent = parent;
  record->id = id;
  record->widget = widget;
  records.live.insert(record);
  if (parent == nullptr) {
    records.windows.push_back(record);
  } else {
    parent->controls.push_back(record);
    parent->widget->as_group()->add(widget);
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

void IssueCommand(HWND control, int32_t code) {
  HWND window = control->parent;
  if (window != nullptr && window->onCommand != nullptr) {
    CallHandler(window->onCommand, control->id, code, 0);
  }
}

}  // namespace tovi::fltk
