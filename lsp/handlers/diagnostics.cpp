#include "lsp/handlers/diagnostics.h"

#include <algorithm>

#include "document/structure.h"
#include "lsp/handlers/handlers.h"
#include "lsp/positions.h"
#include "lsp/server.h"

Range LineRange(const OpenDocument& open, int32_t i,
                PositionEncoding encoding) {
  if (open.lines.empty()) return {};
  i = std::clamp(i, 0, static_cast<int32_t>(open.lines.size()) - 1);
  return {{i, 0}, {i, UnitLength(LineText(open, i), encoding)}};
}

std::optional<Diagnostic> RefusalDiagnostic(const OpenDocument& open,
                                            PositionEncoding encoding) {
  const std::string& problem = open.doc.problem;
  if (problem.empty()) return std::nullopt;
  // The document words it "Line N: what is wrong"; the line becomes the
  // diagnostic's place, the rest its message, as kalvane-arrange reports.
  int32_t line = 0;
  std::string message = problem;
  constexpr std::string_view kPrefix = "Line ";
  const size_t colon = problem.find(": ");
  if (problem.rfind(kPrefix, 0) == 0 && colon != std::string::npos) {
    const std::string number =
        problem.substr(kPrefix.size(), colon - kPrefix.size());
    if (!number.empty() && number.size() < 10 &&
        number.find_first_not_of("0123456789") == std::string::npos) {
      line = std::stoi(number) - 1;
      message = problem.substr(colon + 2);
    }
  }
  return Diagnostic{LineRange(open, line, encoding), Severity::kWarning,
                    message};
}

std::optional<Diagnostic> OrderDiagnostic(const OpenDocument& open,
                                          PositionEncoding encoding) {
  if (open.arranged || !open.doc.problem.empty()) return std::nullopt;
  // The bodies as they stand, against the declaration order they should
  // follow: the first place they differ is the first body out of place.
  std::vector<int32_t> declared;
  for (size_t k = 0; k < open.records.size(); ++k) {
    if (open.records[k].firstLine >= 0) {
      declared.push_back(static_cast<int32_t>(k));
    }
  }
  std::vector<int32_t> standing = declared;
  std::sort(standing.begin(), standing.end(), [&](int32_t a, int32_t b) {
    return open.records[static_cast<size_t>(a)].firstLine <
           open.records[static_cast<size_t>(b)].firstLine;
  });
  const auto [here, expected] =
      std::mismatch(standing.begin(), standing.end(), declared.begin());
  if (here == standing.end()) return std::nullopt;
  const int32_t head = HeadLine(open, *here);
  return Diagnostic{
      LineRange(open, head, encoding), Severity::kInformation,
      "The function bodies are not in declaration order: the body of " +
          DescribeFunction(ToviListBox_GetItem(open.list->handle(), *here)) +
          " stands where the body of " +
          DescribeFunction(
              ToviListBox_GetItem(open.list->handle(), *expected)) +
          " belongs."};
}

void PublishDiagnostics(Server& server, const std::string& uri) {
  const auto it = server.documents.find(uri);
  if (it == server.documents.end()) return;
  const OpenDocument& open = *it->second;
  Json diagnostics = Json::array();
  if (!open.outOfStep) {
    if (auto refusal = RefusalDiagnostic(open, server.encoding)) {
      diagnostics.push_back(*refusal);
    }
    if (auto order = OrderDiagnostic(open, server.encoding)) {
      diagnostics.push_back(*order);
    }
  }
  Json params = {{"uri", uri}, {"diagnostics", diagnostics}};
  params["version"] = open.version;
  server.send({{"jsonrpc", "2.0"},
               {"method", "textDocument/publishDiagnostics"},
               {"params", params}});
}
