#include "document/structure.h"

#include <algorithm>
#include <limits>
#include <new>
#include <unordered_map>

#include "document/file_io.h"
#include "document/line_kinds.h"
#include "document/line_splitter.h"
#include "document/shown_name.h"

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Heads find their declaration the way the list's own lookup finds an entry:
// whole names, ignoring ASCII letter case.
struct CaselessHash {
  size_t operator()(std::string_view s) const {
    uint64_t h = 1469598103934665603u;
    for (char c : s) {
      h = (h ^ static_cast<unsigned char>(Lower(c))) * 1099511628211u;
    }
    return static_cast<size_t>(h);
  }
};

struct CaselessEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
  }
};

// Where the scan stands: the line being looked at and what came before it.
struct Scan {
  SourceStructure& out;
  std::unordered_map<std::string_view, int32_t, CaselessHash, CaselessEqual>
      index{};
  int32_t line = 0;
  size_t offset = 0;     // where the line starts
  size_t next = 0;       // where the line after it starts
  int32_t lastEnd = -1;  // the last end line so far
  int32_t problemLine = -1;
  int32_t openLine = -1;  // head line of the body being read; -1 outside
  std::string_view openName{};
  int32_t openRecord = -1;  // the record of that body, when it has one
};

// Keeps the problem of the earliest line: a body left open is only found
// once later lines have been read.
void Report(Scan& scan, int32_t line, const std::string& what) {
  if (scan.problemLine >= 0 && line >= scan.problemLine) return;
  scan.problemLine = line;
  scan.out.problem = "Line " + std::to_string(line + 1) + ": " + what;
}

void Declaration(Scan& scan, std::string_view name) {
  std::vector<FunctionRecord>& functions = scan.out.functions;
  if (scan.out.headerEnd != std::string_view::npos) {
    Report(
        scan, scan.line,
        DescribeFunction(name) + " is declared after the first function body.");
  }
  const auto [it, added] =
      scan.index.try_emplace(name, static_cast<int32_t>(functions.size()));
  if (!added) {
    const int32_t earlier = functions[static_cast<size_t>(it->second)].declLine;
    Report(scan, scan.line,
           DescribeFunction(name) + " is already declared on line " +
               std::to_string(earlier + 1) + ".");
  }
  scan.out.names.push_back(name);
  functions.push_back({scan.line, -1, -1});
}

void Head(Scan& scan, std::string_view name) {
  if (scan.out.headerEnd == std::string_view::npos) {
    scan.out.headerEnd = scan.offset;
  }
  if (scan.openLine >= 0) {
    Report(scan, scan.line,
           DescribeFunction(name) + " begins inside the body of " +
               DescribeFunction(scan.openName) + ".");
  }
  scan.openLine = scan.line;
  scan.openName = name;
  scan.openRecord = -1;
  const auto it = scan.index.find(name);
  if (it == scan.index.end()) {
    Report(scan, scan.line, DescribeFunction(name) + " has no declaration.");
    return;
  }
  FunctionRecord& record = scan.out.functions[static_cast<size_t>(it->second)];
  if (record.firstLine >= 0) {
    Report(scan, scan.line, DescribeFunction(name) + " has a second body.");
    return;
  }
  // Comments between the previous body and this head belong to this block.
  record.firstLine = scan.lastEnd >= 0 ? scan.lastEnd + 1 : scan.line;
  scan.openRecord = it->second;
}

void End(Scan& scan) {
  if (scan.openLine < 0) {
    Report(scan, scan.line, "END FUNCTION without a FUNCTION line to close.");
  } else if (scan.openRecord >= 0) {
    scan.out.functions[static_cast<size_t>(scan.openRecord)].lastLine =
        scan.line;
  }
  scan.openLine = -1;
  scan.openRecord = -1;
  scan.lastEnd = scan.line;
  scan.out.tailBegin = scan.next;
}

// Gives room for `count` lines, or doubles it when none is asked for. The
// new room is advised to take large pages before the lines are copied into
// it; advice given after the copy would come too late for the pages the
// copy has touched.
void Grow(std::vector<SourceLine>& lines, size_t count = 0) {
  std::vector<SourceLine> grown;
  grown.reserve(
      std::max<size_t>(64, count != 0 ? count : 2 * lines.capacity()));
  PreferLargePages(grown.data(), grown.capacity() * sizeof(SourceLine));
  grown.assign(lines.begin(), lines.end());
  lines.swap(grown);
}

}  // namespace

std::string DescribeFunction(std::string_view name) {
  if (name.empty()) return "the unnamed function";
  return "the function " + ShownName(name);
}

bool ScanStructure(std::string_view bytes, int64_t maxLines,
                   SourceStructure& out, std::vector<SourceLine>* lines) {
  out = {};
  // Unknown until the first head; the tail starts after the last end line.
  out.headerEnd = std::string_view::npos;
  Scan scan{.out = out};
  // Room for a line every 16 bytes from the start, more than source text
  // needs: room no line fills stays address space and costs no memory, and
  // the lines of a huge file are then never copied to a larger room. Where
  // the system will not give that much, the room grows as lines come.
  if (lines != nullptr && lines->empty()) {
    try {
      Grow(*lines, bytes.size() / 16);
    } catch (const std::bad_alloc&) {
    }
  }
  const bool complete = ForEachLine(
      bytes, 0, bytes.size(),
      [&](size_t offset, size_t length, size_t terminator) {
        if (scan.line >= maxLines ||
            length > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
          return false;
        }
        if (lines != nullptr) {
          if (lines->size() == lines->capacity()) Grow(*lines);
          lines->push_back({static_cast<int64_t>(offset),
                            static_cast<int32_t>(length),
                            static_cast<int32_t>(terminator)});
        }
        scan.offset = offset;
        scan.next = offset + length + terminator;
        const ClassifiedLine line = ClassifyLine(bytes.substr(offset, length));
        switch (line.kind) {
          case LineKind::kDeclaration:
            Declaration(scan, line.name);
            break;
          case LineKind::kHead:
            Head(scan, line.name);
            break;
          case LineKind::kEnd:
            End(scan);
            break;
          case LineKind::kOrdinary:
            break;
        }
        ++scan.line;
        return true;
      });
  if (!complete) return false;
  if (scan.openLine >= 0) {
    Report(scan, scan.openLine,
           DescribeFunction(scan.openName) + " has no END FUNCTION.");
  }
  out.lineCount = scan.line;
  if (out.headerEnd == std::string_view::npos) {
    out.headerEnd = bytes.size();
    out.tailBegin = bytes.size();
  }
  return true;
}
