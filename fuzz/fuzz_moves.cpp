// A file, then the user's actions on it: the input's bytes before its last
// 0xFF are the file, each byte after it one action (no 0xFF: a file and no
// actions). After every action the document must match a plain model of
// what the moves should have made of it, and every save must write what the
// document holds.
//
// Actions, by byte value b:
//   0xFE         save to a file and read it back
//   0xFD a c     exchange functions a and c directly (signed bytes), as a
//                far move would, then their list entries
//   b % 4 == 0   Up;  b % 4 == 1   Down
//   otherwise    click list position b / 4 - 1 (-1 clears the selection)
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "document/source_document.h"
#include "fuzz/document_invariants.h"
#include "fuzz/fuzz_support.h"
#include "toolkit/memory/memory_driver.h"

namespace {

namespace mem = tovi::memory;

constexpr uint8_t kSave = 0xFE;
constexpr uint8_t kExchange = 0xFD;

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

  int32_t Last() const { return static_cast<int32_t>(names.size()) - 1; }

  void Exchange(int32_t a, int32_t b) {
    const auto swap = [&](auto& items) {
      std::swap(items[static_cast<size_t>(a)], items[static_cast<size_t>(b)]);
    };
    swap(decls);
    swap(blocks);
    swap(names);
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

// Up acts from the third function on, Down up to the one before the last.
void Move(Model& model, SourceDocument& doc, HWND list, bool up) {
  const int32_t p = model.selection;
  up ? MoveFunctionUp(doc, list) : MoveFunctionDown(doc, list);
  const bool acts = model.movable && (up ? p >= 2 : p >= 0 && p < model.Last());
  if (!acts) return;
  const int32_t other = up ? p - 1 : p + 1;
  model.Exchange(std::min(p, other), std::max(p, other));
  model.selection = other;
}

void ExchangeDirectly(Model& model, SourceDocument& doc, HWND list, int32_t a,
                      int32_t b) {
  const bool fits = model.movable && a >= 0 && a < b && b <= model.Last();
  const ToviBool exchanged = ExchangeFunctions(doc, a, b);
  Require(exchanged == (fits ? kTrue : kFalse),
          "any two functions of a sound file can be exchanged, nothing else");
  if (!exchanged) return;
  Require(ExchangeListEntries(list, a, b) == kTrue,
          "the entries of exchanged functions can be exchanged");
  model.Exchange(a, b);
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
                                       : input.substr(split + 1);

  HWND list = NewFunctionList();
  SourceDocument doc;
  Require(LoadSource(doc, list, WriteScratchFile("source.ost", bytes)) == kTrue,
          "any regular file loads");
  CheckDocument(doc, list, bytes);
  Model model = ModelOf(doc, list);

  for (size_t i = 0; i < actions.size(); ++i) {
    const auto b = static_cast<uint8_t>(actions[i]);
    if (b == kSave) {
      Save(doc);
    } else if (b == kExchange && i + 2 < actions.size()) {
      ExchangeDirectly(model, doc, list, static_cast<int8_t>(actions[i + 1]),
                       static_cast<int8_t>(actions[i + 2]));
      i += 2;
    } else if (b % 4 < 2) {
      Move(model, doc, list, b % 4 == 0);
    } else {
      Click(model, list, b / 4 - 1);
    }
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
