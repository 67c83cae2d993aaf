#include "fuzz/document_invariants.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "toolkit/memory/memory_driver.h"

namespace {

// Lines cut at LF, CRLF or a lone CR, one byte at a time.
std::vector<SourceLine> ReferenceLines(std::string_view bytes) {
  std::vector<SourceLine> lines;
  size_t start = 0;
  size_t i = 0;
  const auto cut = [&](size_t terminator) {
    lines.push_back({static_cast<int64_t>(start),
                     static_cast<int32_t>(i - start),
                     static_cast<int32_t>(terminator)});
    i += terminator;
    start = i;
  };
  while (i < bytes.size()) {
    if (bytes[i] == '\n') {
      cut(1);
    } else if (bytes[i] == '\r') {
      cut(i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1);
    } else {
      ++i;
    }
  }
  if (start < bytes.size()) cut(0);
  return lines;
}

// The first line's terminator, or LF when the file has none.
std::string_view ReferenceFallback(std::string_view bytes,
                                   const std::vector<SourceLine>& lines) {
  if (lines.empty() || lines.front().terminatorLength == 0) return "\n";
  return bytes.substr(static_cast<size_t>(lines.front().length),
                      static_cast<size_t>(lines.front().terminatorLength));
}

bool Same(const SourceLine& a, const SourceLine& b) {
  return a.offset == b.offset && a.length == b.length &&
         a.terminatorLength == b.terminatorLength;
}

enum class Kind { kOther, kDeclaration, kHead, kEnd };

struct Classified {
  Kind kind = Kind::kOther;
  std::string_view name;
};

// The first four space-separated fields; missing ones are empty.
std::array<std::string_view, 4> FirstFields(std::string_view text) {
  std::array<std::string_view, 4> fields{};
  size_t field = 0;
  size_t start = 0;
  for (size_t i = 0; i <= text.size() && field < fields.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      fields[field++] = text.substr(start, i - start);
      start = i + 1;
    }
  }
  return fields;
}

Classified Classify(std::string_view text) {
  const auto f = FirstFields(text);
  const auto opens = [](std::string_view field) {
    return !field.empty() && field[0] == '(';
  };
  if (f[0] == "DECLARE" && f[1] == "FUNCTION") {
    return {Kind::kDeclaration, opens(f[3]) ? f[2] : f[3]};
  }
  if (f[0] == "FUNCTION") return {Kind::kHead, opens(f[2]) ? f[1] : f[2]};
  if (f[0] == "END" && f[1] == "FUNCTION") return {Kind::kEnd, {}};
  return {};
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

Kind KindOf(const SourceDocument& doc, int32_t i) {
  return Classify(doc.Text(i)).kind;
}

Kind KindIn(std::string_view bytes, const SourceLine& line) {
  return Classify(bytes.substr(static_cast<size_t>(line.offset),
                               static_cast<size_t>(line.length)))
      .kind;
}

void CheckLinesArePermuted(const SourceDocument& doc,
                           const std::vector<SourceLine>& reference) {
  Require(doc.lineCount == static_cast<int32_t>(reference.size()) &&
              doc.lines.size() == reference.size(),
          "the document has as many lines as the file");
  std::vector<SourceLine> sorted = doc.lines;
  std::sort(sorted.begin(), sorted.end(),
            [](const SourceLine& a, const SourceLine& b) {
              return a.offset < b.offset;
            });
  for (size_t i = 0; i < sorted.size(); ++i) {
    Require(Same(sorted[i], reference[i]),
            "every line of the file is in the document exactly once");
  }
}

void CheckDeclarations(const SourceDocument& doc,
                       const std::vector<std::string>& entries) {
  Require(
      entries.size() == doc.functions.size() &&
          doc.lastFunction + 1 == static_cast<int32_t>(doc.functions.size()),
      "one list entry and one record per declared function");
  size_t k = 0;
  for (int32_t i = 0; i < doc.lineCount; ++i) {
    const Classified line = Classify(doc.Text(i));
    if (line.kind != Kind::kDeclaration) continue;
    Require(k < doc.functions.size() && doc.functions[k].declLine == i,
            "the k-th declaration line is record k's");
    Require(entries[k] == line.name, "record k's declaration names entry k");
    ++k;
  }
  Require(k == doc.functions.size(), "every record has a declaration line");
}

void CheckSaved(const SourceDocument& doc, std::string_view fallback) {
  std::string expected;
  for (int32_t i = 0; i < doc.lineCount; ++i) {
    expected += doc.Text(i);
    const std::string_view terminator = doc.Terminator(i);
    expected += terminator.empty() ? fallback : terminator;
  }
  Require(SerializeSource(doc) == expected,
          "saving writes every line in order, each with a terminator");
}

void CheckProblem(const SourceDocument& doc,
                  const std::vector<SourceLine>& reference) {
  Require(SameLines(doc.lines, reference),
          "a file with a problem keeps its lines where they stood");
  const size_t colon = doc.problem.find(": ");
  Require(doc.problem.rfind("Line ", 0) == 0 && colon != std::string::npos,
          "a problem names its line");
  const long line = std::strtol(doc.problem.c_str() + 5, nullptr, 10);
  Require(line >= 1 && line <= doc.lineCount,
          "a problem names a line of the file");
}

// No line of [from, to) is a head or an end line.
void CheckNoBodyLines(const SourceDocument& doc, int32_t from, int32_t to) {
  for (int32_t i = from; i < to; ++i) {
    const Kind kind = KindOf(doc, i);
    Require(kind != Kind::kHead && kind != Kind::kEnd,
            "header and tail hold no head or end line");
  }
}

void CheckBlocks(const SourceDocument& doc,
                 const std::vector<std::string>& entries) {
  const int32_t headerEnd =
      doc.functions.empty() ? doc.lineCount : doc.functions.front().firstLine;
  int32_t next = headerEnd;
  for (size_t k = 0; k < doc.functions.size(); ++k) {
    const FunctionRecord& f = doc.functions[k];
    Require(f.firstLine == next && f.lastLine >= f.firstLine - 1 &&
                f.lastLine < doc.lineCount,
            "the blocks follow the header one after another");
    Require(f.declLine < headerEnd, "declarations stand in the header");
    next = f.lastLine + 1;
    if (f.lastLine < f.firstLine) continue;
    Require(KindOf(doc, f.lastLine) == Kind::kEnd,
            "a block ends with its end line");
    int heads = 0;
    for (int32_t i = f.firstLine; i < f.lastLine; ++i) {
      const Classified line = Classify(doc.Text(i));
      Require(line.kind != Kind::kEnd && line.kind != Kind::kDeclaration,
              "a block holds no other end line and no declaration");
      if (line.kind != Kind::kHead) continue;
      ++heads;
      Require(SameIgnoringAsciiCase(line.name, entries[k]),
              "block k holds the head of function k");
    }
    Require(heads == 1, "a block holds exactly one head");
  }
  CheckNoBodyLines(doc, 0, headerEnd);
  CheckNoBodyLines(doc, next, doc.lineCount);
}

}  // namespace

bool SameLines(const std::vector<SourceLine>& a,
               const std::vector<SourceLine>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), Same);
}

void CheckDocument(const SourceDocument& doc, HWND list,
                   std::string_view bytes) {
  Require(doc.bytes == bytes, "the document holds the file's bytes");
  const std::vector<SourceLine> reference = ReferenceLines(bytes);
  CheckLinesArePermuted(doc, reference);
  const std::vector<std::string> entries = tovi::memory::Entries(list);
  CheckDeclarations(doc, entries);
  CheckSaved(doc, ReferenceFallback(bytes, reference));
  if (doc.problem.empty()) {
    CheckBlocks(doc, entries);
  } else {
    CheckProblem(doc, reference);
  }
}

void CheckFreshLoad(const SourceDocument& doc, std::string_view bytes) {
  const std::vector<SourceLine> reference = ReferenceLines(bytes);
  if (SameLines(doc.lines, reference)) {
    std::string expected(bytes);
    if (!reference.empty() && reference.back().terminatorLength == 0) {
      expected += ReferenceFallback(bytes, reference);
    }
    Require(SerializeSource(doc) == expected,
            "a file whose lines stayed in place is saved as read");
  }
  if (!doc.problem.empty() || doc.functions.empty()) return;

  std::unordered_map<int64_t, int32_t> indexOf;
  for (size_t r = 0; r < reference.size(); ++r) {
    indexOf[reference[r].offset] = static_cast<int32_t>(r);
  }
  const int32_t headerEnd = doc.functions.front().firstLine;
  const int32_t tailBegin = doc.functions.back().lastLine + 1;
  for (int32_t i = 0; i < doc.lineCount; ++i) {
    if (i < headerEnd || i >= tailBegin) {
      Require(Same(doc.lines[static_cast<size_t>(i)],
                   reference[static_cast<size_t>(i)]),
              "header and tail keep their places");
    }
  }
  // A block of the file starts right after an end line, or, before the
  // file's first end line, at a head.
  size_t firstEnd = 0;
  while (firstEnd < reference.size() &&
         KindIn(bytes, reference[firstEnd]) != Kind::kEnd) {
    ++firstEnd;
  }
  for (const FunctionRecord& f : doc.functions) {
    if (f.lastLine < f.firstLine) continue;
    const size_t r = static_cast<size_t>(
        indexOf.at(doc.lines[static_cast<size_t>(f.firstLine)].offset));
    for (int32_t i = f.firstLine; i <= f.lastLine; ++i) {
      Require(Same(doc.lines[static_cast<size_t>(i)],
                   reference[r + static_cast<size_t>(i - f.firstLine)]),
              "a block's lines follow each other as in the file");
    }
    const bool afterEnd =
        r > 0 && KindIn(bytes, reference[r - 1]) == Kind::kEnd;
    const bool firstHead =
        r < firstEnd && KindIn(bytes, reference[r]) == Kind::kHead;
    Require(afterEnd || firstHead,
            "a block starts after an end line or at the first head");
  }
}
