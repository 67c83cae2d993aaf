#include "document/rebuild.h"

#include <utility>

void RebuildInDeclarationOrder(SourceDocument& doc,
                               const SourceStructure& structure) {
  doc.functions = structure.functions;
  doc.lastFunction = static_cast<int32_t>(doc.functions.size()) - 1;
  // Without any body the whole file is header and every block is empty, at
  // its end.
  const int32_t headerEnd =
      structure.firstHead >= 0 ? structure.firstHead : doc.lineCount;
  const int32_t tailStart =
      structure.firstHead >= 0 ? structure.lastEnd + 1 : doc.lineCount;

  std::vector<SourceLine> rebuilt;
  rebuilt.reserve(doc.lines.size());
  const auto copy = [&](int32_t first, int32_t end) {
    rebuilt.insert(rebuilt.end(), doc.lines.begin() + first,
                   doc.lines.begin() + end);
  };
  copy(0, headerEnd);
  for (FunctionRecord& record : doc.functions) {
    const int32_t start = static_cast<int32_t>(rebuilt.size());
    if (record.firstLine < 0) {
      record.firstLine = start;
      record.lastLine = start - 1;
      continue;
    }
    copy(record.firstLine, record.lastLine + 1);
    record.lastLine = start + (record.lastLine - record.firstLine);
    record.firstLine = start;
  }
  copy(tailStart, doc.lineCount);
  doc.lines = std::move(rebuilt);
}
