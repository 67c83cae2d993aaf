#include "document/rebuild.h"

#include "document/line_splitter.h"

void LayOutLines(std::string_view bytes, const SourceStructure& structure,
                 SourceDocument& doc) {
  doc.lineCount = structure.lineCount;
  doc.functions = structure.functions;
  doc.lastFunction = static_cast<int32_t>(doc.functions.size()) - 1;
  doc.lines.clear();
  doc.lines.reserve(static_cast<size_t>(structure.lineCount));
  if (!structure.problem.empty()) {
    AppendLines(bytes, 0, bytes.size(), doc.lines);
    return;
  }

  AppendLines(bytes, 0, structure.headerEnd, doc.lines);
  for (size_t k = 0; k < doc.functions.size(); ++k) {
    FunctionRecord& record = doc.functions[k];
    const int32_t start = static_cast<int32_t>(doc.lines.size());
    if (record.firstLine >= 0) {
      AppendLines(bytes, structure.blocks[k].begin, structure.blocks[k].end,
                  doc.lines);
    }
    record.firstLine = start;
    record.lastLine = static_cast<int32_t>(doc.lines.size()) - 1;
  }
  AppendLines(bytes, structure.tailBegin, bytes.size(), doc.lines);
}
