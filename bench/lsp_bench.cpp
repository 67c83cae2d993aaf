// Times kalvane-lsp's handlers on an arranged file of 5,000 lines and on
// one of 1,000,000 lines and 10,000 functions, as the server runs them
// (each reply serialized as for the wire, without the pipe):
//   lsp_open_ms     didOpen until its diagnostics are published
//   lsp_symbols_ms  the outline
//   lsp_action_ms   the code actions on the first function, among them
//                   Move Function to Bottom, the farthest move, with edits
//   lsp_change_ms   a one-character incremental change until the new
//                   diagnostics
// Prints one figure a line, "NAME_LINES: VALUE UNIT", each the median of
// five runs.
#include <random>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "document/source_document.h"
#include "lsp/server.h"
#include "toolkit/headless/headless_list.h"

namespace {

using bench::Clock;
using bench::MillisecondsSince;

const std::string kUri = "file:///bench.ost";

Json Message(const std::string& method, const Json& params, int id = 0) {
  Json message = {{"jsonrpc", "2.0"}, {"method", method}, {"params", params}};
  if (id > 0) message["id"] = id;
  return message;
}

// The median time of `kRuns` messages, each made by `make` from its run.
template <typename Make>
double Time(Server& server, Make&& make) {
  std::vector<double> times;
  for (int run = 0; run < bench::kRuns; ++run) {
    const std::string body = make(run).dump();
    const auto start = Clock::now();
    HandleMessage(server, body);
    times.push_back(MillisecondsSince(start));
  }
  return bench::Median(times);
}

void Measure(int lines, int functions) {
  std::mt19937 random(7);
  // Arranged, so that the moves are offered.
  SourceDocument doc;
  HeadlessList list;
  LoadSourceBytes(doc, list.handle(),
                  bench::MakeSource(lines, functions, random));
  const std::string text = SerializeSource(doc);

  Server server;
  size_t written = 0;
  server.send = [&](const Json& message) {
    written += Serialize(message).size();
  };
  HandleMessage(server,
                Message("initialize", {{"capabilities", {}}}, 1).dump());
  const Json document = {{"textDocument", {{"uri", kUri}}}};
  const std::string suffix = "_" + std::to_string(lines);

  bench::Print(("lsp_open_ms" + suffix).c_str(),
               Time(server,
                    [&](int run) {
                      return Message("textDocument/didOpen",
                                     {{"textDocument",
                                       {{"uri", kUri},
                                        {"languageId", "ostrel"},
                                        {"version", run},
                                        {"text", text}}}});
                    }),
               "ms");
  bench::Print(("lsp_symbols_ms" + suffix).c_str(),
               Time(server,
                    [&](int run) {
                      return Message("textDocument/documentSymbol", document,
                                     run + 2);
                    }),
               "ms");
  // The first function's declaration line.
  const Json here = {{"line", 1}, {"character", 0}};
  bench::Print(("lsp_action_ms" + suffix).c_str(),
               Time(server,
                    [&](int run) {
                      Json params = document;
                      params["range"] = {{"start", here}, {"end", here}};
                      params["context"] = {{"diagnostics", Json::array()}};
                      return Message("textDocument/codeAction", params,
                                     run + 10);
                    }),
               "ms");
  bench::Print(
      ("lsp_change_ms" + suffix).c_str(),
      Time(server,
           [&](int run) {
             const Json at = {{"line", 0}, {"character", 1}};
             return Message(
                 "textDocument/didChange",
                 {{"textDocument", {{"uri", kUri}, {"version", 10 + run}}},
                  {"contentChanges",
                   Json::array({{{"range", {{"start", at}, {"end", at}}},
                                 {"text", "x"}}})}});
           }),
      "ms");
  if (written == 0) std::printf("no replies\n");
}

}  // namespace

int main() {
  Measure(5000, 50);
  Measure(1000000, 10000);
}
