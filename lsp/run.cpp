#include "lsp/run.h"

#include <exception>

#include "lsp/server.h"

int RunServer(ByteSource input, std::FILE* output) {
  Server server;
  server.send = [output](const Json& message) {
    const std::string frame = FrameMessage(Serialize(message));
    std::fwrite(frame.data(), 1, frame.size(), output);
    std::fflush(output);
  };
  FrameReader reader(std::move(input));
  while (!server.exitRequested) {
    Frame frame = reader.Next();
    if (frame.status == FrameStatus::kEnd) {
      Log("input ended");
      break;
    }
    if (frame.status != FrameStatus::kMessage) {
      ReplyError(server, Json(), ErrorCode::kParseError, frame.error);
      continue;
    }
    try {
      HandleMessage(server, frame.body);
    } catch (const std::exception& error) {
      // Memory ran short outside any one request; the session goes on.
      Log(std::string("message dropped: ") + error.what());
    }
  }
  return server.shutdownRequested ? 0 : 1;
}
