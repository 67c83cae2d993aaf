// Thousands of random files, each loaded and then moved about at random,
// compared with a small model of what the file should become: the header
// with its declaration slots, one block per function in list order, and the
// tail.
#include <algorithm>
#include <cctype>
#include <random>
#include <tuple>

#include "document/preview.h"
#include "tests/document/document_fixture.h"
#include "toolkit/memory/memory_driver.h"

namespace {

constexpr uint32_t kSeed = 20240611;
constexpr int kFiles = 10000;

struct Line {
  std::string text;
  std::string terminator;
};

struct Function {
  std::string name;   // as the declaration line gives it
  std::string shown;  // as the list shows it
  Line decl;
  std::vector<Line> block;  // empty for a function without body
};

// A header line, or the slot of the declaration of function `slot`.
struct HeaderItem {
  Line line;
  int slot = -1;
};

struct Model {
  std::vector<HeaderItem> header;
  std::vector<Function> functions;  // in list order
  std::vector<Line> tail;
  std::string fallback;                // for the line read without terminator
  std::string file;                    // the bytes as generated
  std::vector<std::string> linesRead;  // text and terminator of each line
};

using Random = std::mt19937;

int Pick(Random& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

bool Chance(Random& random, int percent) {
  return Pick(random, 1, 100) <= percent;
}

std::string MixCase(Random& random, const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z' && Chance(random, 30))
      c = static_cast<char>(c - 32);
  }
  return out;
}

// Lines that look like keywords but are ordinary where they stand.
const char* const kDecoys[] = {
    "\tFUNCTION Nope ()", " END FUNCTION",           "END SUB",
    "ENDFUNCTION",        "  DECLARE FUNCTION X ()", "function lower ()",
    "END  FUNCTION"};

std::string Filler(Random& random, int k) {
  switch (Pick(random, 0, 3)) {
    case 0:
      return "";
    case 1:
      return kDecoys[Pick(random, 0, std::size(kDecoys) - 1)];
    default:
      return "  x = " + std::to_string(k) + std::string("\0\xff", 2);
  }
}

void AddComments(Random& random, std::vector<Line>& lines, int most) {
  for (int i = Pick(random, 0, most); i > 0; --i) {
    lines.push_back(
        {Chance(random, 30) ? "" : "' note " + std::to_string(i), ""});
  }
}

// Names with numbers of one to three digits, some with a leading zero, so
// that a sort by name differs from a sort by bytes, some with a NUL, which
// a list may show as another character; no two equal ignoring case, or the
// file would not take moves.
std::string UniqueName(Random& random, std::vector<std::string>& taken) {
  const char* const kStems[] = {"fn", "Fn", "item", "x_"};
  for (;;) {
    std::string name = kStems[Pick(random, 0, std::size(kStems) - 1)];
    if (Chance(random, 20)) name += Chance(random, 50) ? '\0' : '_';
    if (Chance(random, 20)) name += "0";
    name += std::to_string(Pick(random, 0, 120));
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(c));
    if (std::find(taken.begin(), taken.end(), folded) != taken.end()) continue;
    taken.push_back(folded);
    return name;
  }
}

Function MakeFunction(Random& random, const std::string& base, bool unnamed) {
  Function f;
  std::string head;
  if (unnamed) {
    // No space before the parenthesis: declaration and head name "".
    f.decl.text = "DECLARE FUNCTION " + MixCase(random, base) + "()";
    head = "FUNCTION " + MixCase(random, base) + "()";
  } else if (Chance(random, 25)) {
    f.name = MixCase(random, base);
    f.decl.text = "DECLARE FUNCTION DOUBLE " + f.name + " (x)";
    head = "FUNCTION DOUBLE " + MixCase(random, base) + " (x)";
  } else {
    f.name = MixCase(random, base);
    f.decl.text = "DECLARE FUNCTION " + f.name + " ()";
    head = "FUNCTION " + MixCase(random, base) + " ()";
  }
  if (Chance(random, 15)) return f;  // declared for use from another file
  AddComments(random, f.block, 2);
  f.block.push_back({head, ""});
  for (int i = Pick(random, 0, 4); i > 0; --i) {
    f.block.push_back({Filler(random, i), ""});
  }
  f.block.push_back({"END FUNCTION", ""});
  return f;
}

// Builds a file and its model; terminators are chosen in file order.
Model Generate(Random& random) {
  Model model;
  const int count = Pick(random, 0, 9);
  const int unnamed = Chance(random, 20) ? Pick(random, 0, count) : -1;
  std::vector<std::string> taken;
  for (int k = 0; k < count; ++k) {
    model.functions.push_back(
        MakeFunction(random, UniqueName(random, taken), k == unnamed));
  }
  std::vector<Line> comments;
  AddComments(random, comments, 2);
  for (const Line& line : comments) model.header.push_back({line});
  for (int k = 0; k < count; ++k) {
    model.header.push_back({{}, k});
    if (Chance(random, 20)) model.header.push_back({{"DECLARE SUB s ()", ""}});
    if (Chance(random, 20)) model.header.push_back({{"", ""}});
  }

  std::vector<int> bodies;
  for (int k = 0; k < count; ++k) {
    if (!model.functions[k].block.empty()) bodies.push_back(k);
  }
  std::shuffle(bodies.begin(), bodies.end(), random);
  // Lines in front of the first head in the file belong to the header.
  if (!bodies.empty()) {
    std::vector<Line>& first = model.functions[bodies.front()].block;
    while (first.front().text.rfind("FUNCTION", 0) != 0) {
      model.header.push_back({first.front()});
      first.erase(first.begin());
    }
  }
  AddComments(random, model.tail, 3);

  std::vector<Line*> fileOrder;
  for (HeaderItem& item : model.header) {
    fileOrder.push_back(item.slot >= 0 ? &model.functions[item.slot].decl
                                       : &item.line);
  }
  for (int k : bodies) {
    for (Line& line : model.functions[k].block) fileOrder.push_back(&line);
  }
  for (Line& line : model.tail) fileOrder.push_back(&line);

  static const char* const kTerminators[] = {"\n", "\r\n", "\r"};
  std::string previous;
  for (Line* line : fileOrder) {
    // A CR followed by an empty LF line would read as one CRLF.
    do {
      line->terminator = kTerminators[Pick(random, 0, 2)];
    } while (previous == "\r" && line->text.empty() &&
             line->terminator == "\n");
    previous = line->terminator;
  }
  // Only a last line with text can lack a terminator; without text it would
  // not be there at all.
  if (fileOrder.size() >= 2 && !fileOrder.back()->text.empty() &&
      Chance(random, 30)) {
    fileOrder.back()->terminator.clear();
  }
  model.fallback = fileOrder.empty() ? "" : fileOrder.front()->terminator;
  for (const Line* line : fileOrder) {
    model.file += line->text + line->terminator;
    model.linesRead.push_back(line->text + line->terminator);
  }
  return model;
}

std::string Bytes(const Model& model, const Line& line) {
  return line.text +
         (line.terminator.empty() ? model.fallback : line.terminator);
}

// What a save should write after the moves the model has seen.
std::string Arrangement(const Model& model) {
  std::string out;
  for (const HeaderItem& item : model.header) {
    out += Bytes(model,
                 item.slot >= 0 ? model.functions[item.slot].decl : item.line);
  }
  for (const Function& f : model.functions) {
    for (const Line& line : f.block) out += Bytes(model, line);
  }
  for (const Line& line : model.tail) out += Bytes(model, line);
  return out;
}

std::string LineAt(const SourceDocument& doc, int32_t i) {
  return std::string(doc.Text(i)) + std::string(doc.Terminator(i));
}

// The function at `from` put at `to`, the ones between shifting toward
// `from`.
void Rotate(std::vector<Function>& f, int from, int to) {
  if (from < to) {
    std::rotate(f.begin() + from, f.begin() + from + 1, f.begin() + to + 1);
  } else {
    std::rotate(f.begin() + to, f.begin() + from, f.begin() + from + 1);
  }
}

// The model's own natural order: each run of digits, without its leading
// zeros, padded to one width, and letters lower-cased, so that plain byte
// order compares the numbers by value.
std::string NaturalKey(const std::string& name) {
  std::string key;
  for (size_t i = 0; i < name.size();) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
      key += static_cast<char>(std::tolower(name[i++]));
      continue;
    }
    size_t end = i;
    while (end < name.size() && std::isdigit(name[end])) ++end;
    while (i + 1 < end && name[i] == '0') ++i;
    const std::string digits = name[i] == '0' ? "" : name.substr(i, end - i);
    key += std::string(20 - digits.size(), '0') + digits;
    i = end;
  }
  return key;
}

// Where each function comes from when sorted by name.
std::vector<int> NameOrder(const std::vector<Function>& functions) {
  std::vector<int> order(functions.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return NaturalKey(functions[a].name) < NaturalKey(functions[b].name);
  });
  return order;
}

std::vector<int> Inverse(const std::vector<int>& order) {
  std::vector<int> inverse(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    inverse[order[i]] = static_cast<int>(i);
  }
  return inverse;
}

// A line as the preview shows it, numbered: tabs to the next multiple of 8,
// NUL as its symbol, the generator's other high byte (0xFF) in Latin-1.
std::string Numbered(size_t number, const std::string& text) {
  std::string shown = std::to_string(number) + "  ";
  size_t column = 0;
  for (char c : text) {
    if (c == '\t') {
      shown.append(8 - column % 8, ' ');
      column += 8 - column % 8;
      continue;
    }
    shown += c == '\0'     ? "\xE2\x90\x80"
             : c == '\xff' ? "\xC3\xBF"
                           : std::string(1, c);
    ++column;
  }
  return shown;
}

// What the preview of function k shows, from the model alone.
std::vector<std::string> ModelPreview(const Model& model, size_t k) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < model.header.size(); ++i) {
    if (model.header[i].slot == static_cast<int>(k)) {
      lines.push_back(Numbered(i + 1, model.functions[k].decl.text));
    }
  }
  size_t number = model.header.size();
  for (size_t j = 0; j < k; ++j) number += model.functions[j].block.size();
  for (const Line& line : model.functions[k].block) {
    lines.push_back(Numbered(++number, line.text));
  }
  std::string name;
  for (char c : model.functions[k].name) {
    name += Numbered(0, {c}).substr(3);  // as in a line
  }
  if (model.functions[k].block.empty()) {
    lines.push_back(
        "The file holds no body for " +
        (name.empty() ? "the unnamed function" : "the function " + name) + ".");
  }
  return lines;
}

// The preview's lines without the spaces that pad their numbers.
std::vector<std::string> PreviewLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    lines.push_back(
        line.substr(std::min(line.find_first_not_of(' '), line.size())));
    start = end + 1;
  }
  return lines;
}

// One step of the model's history: a move, or the order a sort made.
struct Step {
  int from = -1;
  int to = -1;
  std::vector<int> order;
};

using Property = DocumentTest;

TEST_F(Property, RandomFilesAndMovesMatchTheModel) {
  HWND other = ToviAddListBox(window, 0, 0, 5);
  HWND scratch = ToviAddListBox(window, 0, 0, 6);  // what a list shows
  for (int n = 0; n < kFiles && !HasFailure(); ++n) {
    Random random(kSeed + static_cast<uint32_t>(n));
    SCOPED_TRACE("seed " + std::to_string(kSeed + static_cast<uint32_t>(n)));
    Model model = Generate(random);
    Load(model.file);
    ASSERT_EQ(doc.problem, "");
    for (Function& f : model.functions) {
      ToviListBox_Clear(scratch);
      ToviListBox_AddItem(scratch, 0, f.name);
      f.shown = ToviListBox_GetItem(scratch, 0);
    }

    const std::string loaded = Saved();
    EXPECT_EQ(SerializesAsRead(doc), loaded == doc.bytes);
    // The hash of the bytes does not depend on the pieces they come in, and
    // sees a single changed bit.
    Random cuts(static_cast<uint32_t>(n));
    BytesHash pieces;
    for (size_t at = 0; at < model.file.size();) {
      const size_t piece = std::min<size_t>(
          static_cast<size_t>(Pick(cuts, 0, 70)), model.file.size() - at);
      pieces.Add(std::string_view(model.file).substr(at, piece));
      at += piece;
    }
    EXPECT_EQ(pieces.Value(), HashOfBytes(model.file));
    if (!model.file.empty()) {
      std::string changed = model.file;
      changed[static_cast<size_t>(
          Pick(cuts, 0, static_cast<int>(changed.size()) - 1))] ^= 1;
      EXPECT_NE(HashOfBytes(changed), HashOfBytes(model.file));
    }
    // Bytes handed over directly (standard input) load as the file does.
    SourceDocument fromBytes;
    ASSERT_EQ(LoadSourceBytes(fromBytes, other, model.file), kTrue);
    EXPECT_EQ(SerializeSource(fromBytes), loaded);
    EXPECT_EQ(tovi::memory::Entries(other), Entries());
    std::vector<Step> done, undone;  // the model's history
    // The last round only checks.
    for (int step = Pick(random, 0, 16); step >= 0 && !HasFailure(); --step) {
      const int count = static_cast<int>(model.functions.size());
      const int action = step == 0 ? -1 : Pick(random, 0, 12);
      Step made;  // what the model does, if anything
      int& from = made.from;
      int& to = made.to;
      int selected = -1;  // before a sort, or an undo or redo of one
      if (action >= 0 && action < 4) {
        from = Pick(random, -1, count - 1);
        Select(from);
        const bool up = action < 2;
        up ? MoveFunctionUp(doc, list) : MoveFunctionDown(doc, list);
        to = up ? (from >= 2 ? from - 1 : -1)
                : (from >= 0 && from < count - 1 ? from + 1 : -1);
      } else if (action >= 4 && action < 7) {
        from = Pick(random, -1, count);
        to = Pick(random, -1, count);
        const bool moves =
            from >= 0 && to >= 0 && from < count && to < count && from != to;
        ASSERT_EQ(MoveFunction(doc, list, from, to), moves ? kTrue : kFalse);
        if (!moves) to = -1;
      } else if (action == 7 || action == 8 || action == 9) {
        const bool undo = action < 9;
        auto& stack = undo ? done : undone;
        selected = tovi::memory::Selection(list);
        ASSERT_EQ(undo ? UndoMove(doc, list) : RedoMove(doc, list),
                  stack.empty() ? kFalse : kTrue);
        if (!stack.empty()) {
          made = stack.back();
          if (undo) {
            std::swap(from, to);
            if (!made.order.empty()) made.order = Inverse(made.order);
          }
          (undo ? undone : done).push_back(stack.back());
          stack.pop_back();
        }
      } else if (action == 10 || action == 11) {
        from = Pick(random, -1, count - 1);
        Select(from);
        const bool top = action == 10;
        to = top ? (from > 0 ? 0 : -1)
                 : (from >= 0 && from < count - 1 ? count - 1 : -1);
        ASSERT_EQ(top ? MoveFunctionToTop(doc, list)
                      : MoveFunctionToBottom(doc, list),
                  to >= 0 ? kTrue : kFalse);
      } else if (action == 12) {
        selected = Pick(random, -1, count - 1);
        Select(selected);
        made.order = NameOrder(model.functions);
        if (std::is_sorted(made.order.begin(), made.order.end())) {
          made.order.clear();  // already in order
        }
        ASSERT_EQ(SortWouldChangeOrder(doc, list), !made.order.empty());
        ASSERT_EQ(SortFunctionsByName(doc, list),
                  made.order.empty() ? kFalse : kTrue);
      }
      const bool recorded = action < 7 || action >= 10;
      if (to >= 0) {
        // The function moves, its declaration slot stays.
        Rotate(model.functions, from, to);
        EXPECT_EQ(tovi::memory::Selection(list), to);
      } else if (!made.order.empty()) {
        std::vector<Function> arranged;
        for (int k : made.order) arranged.push_back(model.functions[k]);
        model.functions = std::move(arranged);
        EXPECT_EQ(tovi::memory::Selection(list),
                  selected >= 0 ? Inverse(made.order)[selected] : -1);
      }
      if (recorded && (to >= 0 || !made.order.empty())) {
        done.push_back(made);
        undone.clear();
      }

      const std::string now = Saved();
      ASSERT_EQ(now, Arrangement(model));
      EXPECT_EQ(SerializesAsRead(doc), now == doc.bytes);
      std::vector<std::string> names;
      for (const Function& f : model.functions) names.push_back(f.shown);
      ASSERT_EQ(Entries(), names);
      // Record i describes entry i: its declaration line and its block.
      for (size_t k = 0; k < model.functions.size(); ++k) {
        const Function& f = model.functions[k];
        const FunctionRecord& record = doc.functions[k];
        EXPECT_EQ(doc.Text(record.declLine), f.decl.text) << k;
        ASSERT_EQ(record.lastLine - record.firstLine + 1,
                  static_cast<int32_t>(f.block.size()))
            << k;
        for (size_t i = 0; i < f.block.size(); ++i) {
          EXPECT_EQ(doc.Text(record.firstLine + static_cast<int32_t>(i)),
                    f.block[i].text);
        }
      }
    }
    // The preview shows the selected function's lines as they are saved.
    const int32_t shown = tovi::memory::Selection(list);
    if (shown >= 0) {
      EXPECT_EQ(PreviewLines(BuildPreview(doc, shown).text),
                ModelPreview(model, static_cast<size_t>(shown)));
    }
    while (UndoMove(doc, list) == kTrue) {
    }
    ASSERT_EQ(Saved(), loaded);
    std::vector<std::string> saved;
    for (int32_t i = 0; i < doc.lineCount; ++i) saved.push_back(LineAt(doc, i));
    std::sort(saved.begin(), saved.end());
    std::sort(model.linesRead.begin(), model.linesRead.end());
    ASSERT_EQ(saved, model.linesRead);
  }
}

// Random sequences of keyword lines make every kind of broken structure. A
// file either loads sound and keeps its lines through any moves, or loads
// unchanged and refuses them.
TEST_F(Property, KeywordSoupNeverLosesALine) {
  const char* const kVocabulary[] = {"DECLARE FUNCTION A ()",
                                     "DECLARE FUNCTION b ()",
                                     "DECLARE FUNCTION C()",
                                     "DECLARE FUNCTION B ()",
                                     "FUNCTION A ()",
                                     "FUNCTION B ()",
                                     "FUNCTION c ()",
                                     "FUNCTION D ()",
                                     "FUNCTION X()",
                                     "END FUNCTION",
                                     "END FUNCTION",
                                     "x",
                                     ""};
  for (int n = 0; n < 3000 && !HasFailure(); ++n) {
    Random random(kSeed + static_cast<uint32_t>(n));
    SCOPED_TRACE("seed " + std::to_string(kSeed + static_cast<uint32_t>(n)));
    std::string file;
    std::vector<std::string> linesRead;
    for (int i = Pick(random, 0, 14); i > 0; --i) {
      linesRead.push_back(
          std::string(
              kVocabulary[Pick(random, 0, std::size(kVocabulary) - 1)]) +
          "\n");
      file += linesRead.back();
    }
    Load(file);
    const bool sound = doc.problem.empty();
    for (int step = Pick(random, 0, 8); step > 0; --step) {
      Select(Pick(random, -1, doc.lastFunction));
      Chance(random, 50) ? MoveFunctionUp(doc, list)
                         : MoveFunctionDown(doc, list);
      MoveFunction(doc, list, Pick(random, -1, doc.lastFunction + 1),
                   Pick(random, -1, doc.lastFunction + 1));
      Chance(random, 50) ? MoveFunctionToTop(doc, list)
                         : MoveFunctionToBottom(doc, list);
      if (Chance(random, 20)) SortFunctionsByName(doc, list);
      if (Chance(random, 30)) UndoMove(doc, list);
    }
    if (!sound) {
      ASSERT_EQ(Saved(), file);
      ASSERT_EQ(doc.problem.rfind("Line ", 0), 0u);
      continue;
    }
    std::vector<std::string> saved;
    for (int32_t i = 0; i < doc.lineCount; ++i) saved.push_back(LineAt(doc, i));
    std::sort(saved.begin(), saved.end());
    std::sort(linesRead.begin(), linesRead.end());
    ASSERT_EQ(saved, linesRead);
    const std::vector<std::string> entries = Entries();
    for (int32_t k = 0; k <= doc.lastFunction; ++k) {
      const std::string_view decl = doc.Text(doc.functions[k].declLine);
      EXPECT_EQ(FieldOf(decl, 1), "DECLARE");
      EXPECT_TRUE(decl.ends_with(entries[k] + " ()") ||
                  (entries[k].empty() && decl.ends_with("()")))
          << decl;
    }
  }
}

}  // namespace
