// Any bytes at all as what an editor sends, after a session has opened a
// document: framing, JSON and incremental changes must never crash or
// stall the server, and everything it writes back must be whole frames of
// JSON.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/framing.h"
#include "lsp/parse_message.h"
#include "lsp/run.h"

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

std::string Framed(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

const std::string kPreamble =
    Framed(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})") +
    Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{)"
           R"("textDocument":{"uri":"file:///f.ost","languageId":"ostrel",)"
           R"("version":1,"text":"DECLARE FUNCTION b ()\r\nDECLARE FUNCTION )"
           R"(a\u00e9 ()\n\nFUNCTION a\u00e9 ()\rEND FUNCTION\nFUNCTION b ()\n)"
           R"(END FUNCTION\n"}}})");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The server's own parse, with every string of a byte or more standing
  // aside, gives exactly what the JSON library gives for the same bytes.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const nlohmann::json mine = ParseMessage(bytes, 1);
  const nlohmann::json theirs = nlohmann::json::parse(bytes, nullptr, false);
  Require(mine.is_discarded() ? theirs.is_discarded() : mine == theirs,
          "the message parses as the JSON library parses it");
  const std::string input =
      kPreamble + std::string(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  char* written = nullptr;
  size_t writtenSize = 0;
  std::FILE* output = open_memstream(&written, &writtenSize);
  Require(output != nullptr, "an output stream");
  RunServer(
      [&](char* buffer, size_t wanted) {
        const size_t take = std::min(wanted, input.size() - at);
        input.copy(buffer, take, at);
        at += take;
        return take;
      },
      output);
  std::fclose(output);
  Require(at == input.size(), "the server read all of its input");
  const std::string replies(written, writtenSize);
  std::free(written);
  FrameReader reader(
      [&, offset = size_t{0}](char* buffer, size_t wanted) mutable {
        const size_t take = std::min(wanted, replies.size() - offset);
        replies.copy(buffer, take, offset);
        offset += take;
        return take;
      });
  for (Frame frame = reader.Next(); frame.status != FrameStatus::kEnd;
       frame = reader.Next()) {
    Require(frame.status == FrameStatus::kMessage, "replies are whole frames");
    Require(!nlohmann::json::parse(frame.body, nullptr, false).is_discarded(),
            "replies are JSON");
  }
  return 0;
}
