#include "lsp/handlers/handlers.h"
#include "lsp/server.h"

// Each body folds from its head line through its END FUNCTION.
Json OnFoldingRange(Server& server, const Json& params) {
  OpenDocument* open = FindDocument(server, params);
  if (open == nullptr || open->outOfStep) return Json::array();
  std::vector<FoldingRange> ranges;
  for (size_t k = 0; k < open->records.size(); ++k) {
    const int32_t head = HeadLine(*open, static_cast<int32_t>(k));
    if (head >= 0 && head < open->records[k].lastLine) {
      ranges.push_back({head, open->records[k].lastLine});
    }
  }
  return ranges;
}
