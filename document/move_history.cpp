// The history that undoes and redoes moves and new orders, one step each.
#include <algorithm>
#include <exception>
#include <utility>
#include <variant>
#include <vector>

#include "document/rearrange.h"
#include "document/source_document.h"

namespace {

std::vector<int32_t> Inverse(const std::vector<int32_t>& order) {
  std::vector<int32_t> inverse(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    inverse[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
  }
  return inverse;
}

ToviBool Make(SourceDocument& doc, HWND list, const MoveStep& step,
              bool backwards) {
  if (const auto* move = std::get_if<FunctionMove>(&step)) {
    return backwards ? CarryFunction(doc, list, move->to, move->from)
                     : CarryFunction(doc, list, move->from, move->to);
  }
  const std::vector<int32_t>& order = std::get<FunctionOrder>(step).order;
  return ArrangeFunctions(doc, list, backwards ? Inverse(order) : order);
}

// Takes the last step off `from`, makes it (backwards for an undo) and puts
// it on `to`; a step that cannot be made stays where it was.
ToviBool Replay(SourceDocument& doc, HWND list, std::vector<MoveStep>& from,
                std::vector<MoveStep>& to, bool backwards) {
  try {
    if (from.empty()) return kFalse;
    // Room first: a step made must land on the other stack.
    MakeRoomForStep(to);
    if (Make(doc, list, from.back(), backwards) != kTrue) return kFalse;
    to.push_back(std::move(from.back()));
    from.pop_back();
    return kTrue;
  } catch (const std::exception&) {
    return kFalse;
  }
}

}  // namespace

void MakeRoomForStep(std::vector<MoveStep>& steps) {
  // Doubling keeps a long session's history linear in its steps.
  if (steps.size() == steps.capacity()) {
    steps.reserve(std::max<size_t>(16, steps.size() * 2));
  }
}

void RecordStep(SourceDocument& doc, MoveStep step) noexcept {
  doc.history.undo.push_back(std::move(step));
  doc.history.redo.clear();
}

ToviBool UndoMove(SourceDocument& doc, HWND list) {
  return Replay(doc, list, doc.history.undo, doc.history.redo, true);
}

ToviBool RedoMove(SourceDocument& doc, HWND list) {
  return Replay(doc, list, doc.history.redo, doc.history.undo, false);
}
