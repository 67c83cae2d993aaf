#include "document/structure.h"

#include <unordered_map>

#include "document/line_kinds.h"

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Heads find their declaration the way the list's own lookup finds an entry:
// whole names, ignoring ASCII letter case.
struct CaselessHash {
  size_t operator()(std::string_view s) const {
    uint64_t h = 1469598103934665603u;
    for (char c : s)
      h = (h ^ static_cast<unsigned char>(Lower(c))) * 1099511628211u;
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

struct Scan {
  SourceStructure out;
  std::unordered_map<std::string_view, int32_t, CaselessHash, CaselessEqual>
      index;
  int32_t problemLine = -1;
  int32_t openLine = -1;  // head line of the body being read; -1 outside
  std::string_view openName;
  int32_t openRecord = -1;  // the record of that body, when it has one
};

// Keeps the problem of the earliest line: a body left open is only found
// once later lines have been read.
void Report(Scan& scan, int32_t line, const std::string& what) {
  if (scan.problemLine >= 0 && line >= scan.problemLine) return;
  scan.problemLine = line;
  scan.out.problem = "Line " + std::to_string(line + 1) + ": " + what;
}

void Declaration(Scan& scan, int32_t line, std::string_view name) {
  std::vector<FunctionRecord>& functions = scan.out.functions;
  if (scan.out.firstHead >= 0) {
    Report(
        scan, line,
        DescribeFunction(name) + " is declared after the first function body.");
  }
  const auto [it, added] =
      scan.index.try_emplace(name, static_cast<int32_t>(functions.size()));
  if (!added) {
    const int32_t earlier = functions[static_cast<size_t>(it->second)].declLine;
    Report(scan, line,
           DescribeFunction(name) + " is already declared on line " +
               std::to_string(earlier + 1) + ".");
  }
  scan.out.names.push_back(name);
  functions.push_back({line, -1, -1});
}

void Head(Scan& scan, int32_t line, std::string_view name) {
  if (scan.out.firstHead < 0) scan.out.firstHead = line;
  if (scan.openLine >= 0) {
    Report(scan, line,
           DescribeFunction(name) + " begins inside the body of " +
               DescribeFunction(scan.openName) + ".");
  }
  scan.openLine = line;
  scan.openName = name;
  scan.openRecord = -1;
  const auto it = scan.index.find(name);
  if (it == scan.index.end()) {
    Report(scan, line, DescribeFunction(name) + " has no declaration.");
    return;
  }
  FunctionRecord& record = scan.out.functions[static_cast<size_t>(it->second)];
  if (record.firstLine >= 0) {
    Report(scan, line, DescribeFunction(name) + " has a second body.");
    return;
  }
  // Comments between the previous body and this head belong to this block.
  record.firstLine = scan.out.lastEnd >= 0 ? scan.out.lastEnd + 1 : line;
  scan.openRecord = it->second;
}

void End(Scan& scan, int32_t line) {
  if (scan.openLine < 0) {
    Report(scan, line, "END FUNCTION without a FUNCTION line to close.");
  } else if (scan.openRecord >= 0) {
    scan.out.functions[static_cast<size_t>(scan.openRecord)].lastLine = line;
  }
  scan.openLine = -1;
  scan.openRecord = -1;
  scan.out.lastEnd = line;
}

}  // namespace

std::string DescribeFunction(std::string_view name) {
  if (name.empty()) return "the unnamed function";
  return "the function " + std::string(name);
}

SourceStructure ScanStructure(const SourceDocument& doc) {
  Scan scan;
  for (int32_t j = 0; j < doc.lineCount; ++j) {
    const ClassifiedLine line = ClassifyLine(doc.Text(j));
    switch (line.kind) {
      case LineKind::kDeclaration:
        Declaration(scan, j, line.name);
        break;
      case LineKind::kHead:
        Head(scan, j, line.name);
        break;
      case LineKind::kEnd:
        End(scan, j);
        break;
      case LineKind::kOrdinary:
        break;
    }
  }
  if (scan.openLine >= 0) {
    Report(scan, scan.openLine,
           DescribeFunction(scan.openName) + " has no END FUNCTION.");
  }
  return std::move(scan.out);
}
