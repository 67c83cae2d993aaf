#include "document/line_kinds.h"
#include "lsp/handlers/diagnostics.h"
#include "lsp/handlers/handlers.h"
#include "lsp/positions.h"
#include "lsp/server.h"

namespace {

// Where the name stands on line `i` (a declaration or head line).
Range NameRange(const OpenDocument& open, int32_t i,
                PositionEncoding encoding) {
  const std::string_view text = LineText(open, i);
  const std::string_view name = ClassifyLine(text).name;
  const auto begin = static_cast<size_t>(name.data() - text.data());
  return {{i, UnitsBefore(text, begin, encoding)},
          {i, UnitsBefore(text, begin + name.size(), encoding)}};
}

}  // namespace

// One symbol per declared function, in list order: its block (or its
// declaration line, when it has no body), selected at the name on its head.
Json OnDocumentSymbol(Server& server, const Json& params) {
  OpenDocument* open = FindDocument(server, params);
  if (open == nullptr || open->outOfStep) return Json::array();
  std::vector<DocumentSymbol> symbols;
  symbols.reserve(open->records.size());
  for (size_t k = 0; k < open->records.size(); ++k) {
    const FunctionRecord& record = open->records[k];
    const int32_t head = HeadLine(*open, static_cast<int32_t>(k));
    DocumentSymbol symbol;
    symbol.name = open->names[k];
    if (head >= 0) {
      symbol.range = {LineRange(*open, record.firstLine, server.encoding).start,
                      LineRange(*open, record.lastLine, server.encoding).end};
      symbol.selectionRange = NameRange(*open, head, server.encoding);
    } else {
      symbol.range = LineRange(*open, record.declLine, server.encoding);
      symbol.selectionRange =
          NameRange(*open, record.declLine, server.encoding);
    }
    symbols.push_back(std::move(symbol));
  }
  return symbols;
}
