// A file, then the user's actions on it: the input's bytes before its last
// 0xFF are the file, each byte after it one action (no 0xFF: a file and no
// actions). After every action the document must match a plain model of
// what the steps should have made of it, every save must write what the
// document holds, and undoing every step recorded must give back the lines,
// records and entries of the load (redoing them all then leads back).
//
// Only the first kMostActions actions count: after each one every step is
// undone and redone, which takes time in the square of their number.
//
// Actions, by byte value b:
//   0xFE         save to a file and read it back
//   0xFD a c     exchange functions a and c directly (signed bytes), then
//                their list entries, as Up and Down do for neighbours; not
//                recorded, so from then on undoing everything no longer
//                reaches the load
//   0xFC a c     move function a to position c (signed bytes), as a drag
//                does; c one past the last is a drop below the last
//   0xFB, 0xFA   Move to Top, Move to Bottom
//   0xF9         Sort by Name
//   0xF8, 0xF7   undo, redo
//   b % 4 == 0   Up;  b % 4 == 1   Down
//   otherwise    click list position b / 4 - 1 (-1 clears the selection)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

#include "document/natural_order.h"
#include "document/source_document.h"
#include "fuzz/document_invariants.h"
#include "fuzz/fuzz_support.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace mem = tovi::memory;

constexpr size_t kMostActions = 128;
constexpr uint8_t kSave = 0xFE;
constexpr uint8_t kExchange = 0xFD;
constexpr uint8_t kMove = 0xFC;
constexpr uint8_t kTop = 0xFB;
constexpr uint8_t kBottom = 0xFA;
constexpr uint8_t kSort = 0xF9;
constexpr uint8_t kUndo = 0xF8;
constexpr uint8_t kRedo = 0xF7;

// A step as the model remembers it: a move, or the order a sort made.
struct Step {
  int32_t from = -1;
  int32_t to = -1;
  std::vector<int32_t> order;
};

std::vector<int32_t> Inverse(const std::vector<int32_t>& order) {
  std::vector<int32_t> inverse(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    inverse[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
  }
  return inverse;
}

// The document as the moves should leave it: the header with one slot per
// declaration, then one block per function in list order, then the tail. A
// file with a problem is all header and never changes.
struct Model {
  bool movable = false;
  std::vector<SourceLine> header;
  std::vector<int32_t> declSlots;  // per record: its line in the header
  std::vector<SourceLine> decls;   // per function, in list order
  std::vector<std::vector<SourceLine>> blocks;
  std::vector<SourceLine> tail;
  std::vector<std::string> names;
  int32_t selection = -1;
  std::vector<Step> done;       // what undo takes back, the last step last
  std::vector<Step> undone;     // what redo makes again
  bool outsideHistory = false;  // an exchange changed what undo goes back to

  int32_t Last() const { return static_cast<int32_t>(names.size()) - 1; }

  void Exchange(int32_t a, int32_t b) {
    const auto swap = [&](auto& items) {
      std::swap(items[static_cast<size_t>(a)], items[static_cast<size_t>(b)]);
    };
    swap(decls);
    swap(blocks);
    swap(names);
  }

  // Puts the function at order[i] at position i; the selected function
  // stays selected.
  void Arrange(const std::vector<int32_t>& order) {
    const auto permute = [&](auto& items) {
      const auto old = items;
      for (size_t i = 0; i < order.size(); ++i) {
        items[i] = old[static_cast<size_t>(order[i])];
      }
    };
    permute(decls);
    permute(blocks);
    permute(names);
    if (selection >= 0) {
      selection = Inverse(order)[static_cast<size_t>(selection)];
    }
  }

  // The function at `from` put at `to`, the ones between shifting toward
  // `from`; it is then selected.
  void Rotate(int32_t from, int32_t to) {
    std::vector<int32_t> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    const auto at = [&](int32_t k) { return order.begin() + k; };
    if (from < to) {
      std::rotate(at(from), at(from + 1), at(to + 1));
    } else {
      std::rotate(at(to), at(from), at(from + 1));
    }
    Arrange(order);
    selection = to;
  }

  // Makes `step`, backwards for an undo.
  void Make(const Step& step, bool backwards) {
    if (!step.order.empty()) {
      Arrange(backwards ? Inverse(step.order) : step.order);
    } else {
      backwards ? Rotate(step.to, step.from) : Rotate(step.from, step.to);
    }
  }

  std::vector<SourceLine> Lines() const {
    std::vector<SourceLine> lines = header;
    for (size_t k = 0; k < declSlots.size(); ++k) {
      lines[static_cast<size_t>(declSlots[k])] = decls[k];
    }
    for (const auto& block : blocks) {
      lines.insert(lines.end(), block.begin(), block.end());
    }
    lines.insert(lines.end(), tail.begin(), tail.end());
    return lines;
  }
};

Model ModelOf(const SourceDocument& doc, HWND list) {
  Model model;
  model.names = mem::Entries(list);
  model.movable = doc.problem.empty() && !doc.functions.empty();
  if (!model.movable) {
    model.header = doc.lines;
    return model;
  }
  const auto at = [&](int32_t i) { return doc.lines[static_cast<size_t>(i)]; };
  const int32_t headerEnd = doc.functions.front().firstLine;
  for (int32_t i = 0; i < headerEnd; ++i) model.header.push_back(at(i));
  for (const FunctionRecord& f : doc.functions) {
    model.declSlots.push_back(f.declLine);
    model.decls.push_back(at(f.declLine));
    std::vector<SourceLine>& block = model.blocks.emplace_back();
    for (int32_t i = f.firstLine; i <= f.lastLine; ++i) block.push_back(at(i));
  }
  for (int32_t i = doc.functions.back().lastLine + 1; i < doc.lineCount; ++i) {
    model.tail.push_back(at(i));
  }
  return model;
}

void Click(Model& model, HWND list, int32_t position) {
  mem::Select(list, position);
  const bool entry =
      position >= 0 && position < static_cast<int32_t>(model.names.size());
  model.selection = entry ? position : -1;
}

void Record(Model& model, Step step) {
  model.done.push_back(std::move(step));
  model.undone.clear();
}

// A move the document should make exactly when `acts`.
void MoveIf(Model& model, ToviBool made, bool acts, int32_t from, int32_t to) {
  Require(made == (acts ? kTrue : kFalse),
          "a move is made exactly when its rules allow it");
  if (!acts) return;
  model.Rotate(from, to);
  Record(model, {from, to, {}});
}

// Up acts from the third function on, Down up to the one before the last.
void Move(Model& model, SourceDocument& doc, HWND list, bool up) {
  const int32_t p = model.selection;
  up ? MoveFunctionUp(doc, list) : MoveFunctionDown(doc, list);
  const bool acts = model.movable && (up ? p >= 2 : p >= 0 && p < model.Last());
  MoveIf(model, acts ? kTrue : kFalse, acts, p, up ? p - 1 : p + 1);
}

void MoveFar(Model& model, SourceDocument& doc, HWND list, int32_t from,
             int32_t to) {
  const int32_t count = model.Last() + 1;
  const int32_t target = to == count ? model.Last() : to;
  const bool acts = model.movable && from >= 0 && from < count && target >= 0 &&
                    target < count && from != target;
  MoveIf(model, MoveFunction(doc, list, from, target), acts, from, target);
}

void MoveToEnd(Model& model, SourceDocument& doc, HWND list, bool top) {
  const int32_t p = model.selection;
  const bool acts = model.movable && (top ? p > 0 : p >= 0 && p < model.Last());
  MoveIf(model,
         top ? MoveFunctionToTop(doc, list) : MoveFunctionToBottom(doc, list),
         acts, p, top ? 0 : model.Last());
}

void Sort(Model& model, SourceDocument& doc, HWND list) {
  std::vector<int32_t> order(model.names.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    return NaturalNameLess(model.names[static_cast<size_t>(a)],
                           model.names[static_cast<size_t>(b)]);
  });
  const bool acts =
      model.movable && !std::is_sorted(order.begin(), order.end());
  Require(SortWouldChangeOrder(doc, list) == acts,
          "a sort is offered exactly when it would change something");
  Require(SortFunctionsByName(doc, list) == (acts ? kTrue : kFalse),
          "a sort is made exactly when the names are out of order");
  if (!acts) return;
  model.Arrange(order);
  Record(model, {-1, -1, std::move(order)});
}

void Replay(Model& model, SourceDocument& doc, HWND list, bool undo) {
  std::vector<Step>& from = undo ? model.done : model.undone;
  std::vector<Step>& to = undo ? model.undone : model.done;
  const ToviBool made = undo ? UndoMove(doc, list) : RedoMove(doc, list);
  Require(made == (from.empty() ? kFalse : kTrue),
          "undo and redo act exactly when there is a step to take");
  if (from.empty()) return;
  model.Make(from.back(), undo);
  to.push_back(std::move(from.back()));
  from.pop_back();
}

// The document as loaded: what undoing every step must give back.
struct Loaded {
  std::vector<SourceLine> lines;
  std::vector<FunctionRecord> functions;
  std::vector<std::string> names;
};

void UndoEverythingAndBack(const Model& model, SourceDocument& doc, HWND list,
                           const Loaded& loaded) {
  const size_t steps = doc.history.undo.size();
  Require(steps == model.done.size(), "every step made is recorded once");
  for (size_t k = 0; k < steps; ++k) {
    Require(UndoMove(doc, list) == kTrue, "every recorded step can be undone");
  }
  Require(model.outsideHistory || (SameLines(doc.lines, loaded.lines) &&
                                   doc.functions == loaded.functions &&
                                   mem::Entries(list) == loaded.names),
          "undoing every step gives back the document as loaded");
  for (size_t k = 0; k < steps; ++k) {
    Require(RedoMove(doc, list) == kTrue, "every step undone can be redone");
  }
  // The selection is the user's; the round trip is not.
  mem::Select(list, model.selection);
}

void ExchangeDirectly(Model& model, SourceDocument& doc, HWND list, int32_t a,
                      int32_t b) {
  const bool fits = model.movable && a >= 0 && b == a + 1 && b <= model.Last();
  const ToviBool exchanged = ExchangeFunctions(doc, a, b);
  Require(exchanged == (fits ? kTrue : kFalse),
          "neighbours in a sound file can be exchanged, nothing else");
  if (!exchanged) return;
  Require(ExchangeListEntries(list, a, b) == kTrue,
          "the entries of exchanged functions can be exchanged");
  model.Exchange(a, b);
  model.outsideHistory = true;
  // Removing and inserting entries moves the selection as the list likes.
  model.selection = mem::Selection(list);
}

void Save(const SourceDocument& doc) {
  const std::string path = ScratchPath("saved.ost");
  Require(SaveSource(doc, path) == kTrue, "a save to a plain folder succeeds");
  Require(ReadWholeScratchFile(path) == SerializeSource(doc),
          "the saved file holds what the document serializes to");
  Require(ScratchNames() == std::vector<std::string>{"saved.ost", "source.ost"},
          "a save leaves no temporary file behind");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.rfind('\xff');
  const std::string_view bytes = input.substr(0, split);
  const std::string_view actions = split == std::string_view::npos
                                       ? std::string_view()
                                       : input.substr(split + 1, kMostActions);

  HWND list = NewFunctionList();
  SourceDocument doc;
  Require(LoadSource(doc, list, WriteScratchFile("source.ost", bytes)) == kTrue,
          "any regular file loads");
  CheckDocument(doc, list, bytes);
  Model model = ModelOf(doc, list);
  const Loaded loaded{doc.lines, doc.functions, model.names};

  const auto signedAt = [&](size_t k) {
    return static_cast<int32_t>(static_cast<int8_t>(actions[k]));
  };
  for (size_t i = 0; i < actions.size(); ++i) {
    const auto b = static_cast<uint8_t>(actions[i]);
    if (b == kSave) {
      Save(doc);
    } else if ((b == kExchange || b == kMove) && i + 2 < actions.size()) {
      b == kExchange
          ? ExchangeDirectly(model, doc, list, signedAt(i + 1), signedAt(i + 2))
          : MoveFar(model, doc, list, signedAt(i + 1), signedAt(i + 2));
      i += 2;
    } else if (b == kTop || b == kBottom) {
      MoveToEnd(model, doc, list, b == kTop);
    } else if (b == kSort) {
      Sort(model, doc, list);
    } else if (b == kUndo || b == kRedo) {
      Replay(model, doc, list, b == kUndo);
    } else if (b % 4 < 2) {
      Move(model, doc, list, b % 4 == 0);
    } else {
      Click(model, list, b / 4 - 1);
    }
    UndoEverythingAndBack(model, doc, list, loaded);
    Require(SameLines(doc.lines, model.Lines()),
            "the lines stand where the moves should have put them");
    Require(mem::Entries(list) == model.names,
            "the list entries follow their functions");
    Require(mem::Selection(list) == model.selection,
            "the selection follows the moved function");
  }
  CheckDocument(doc, list, bytes);
  return 0;
}
