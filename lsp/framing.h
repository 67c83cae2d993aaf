// The base protocol's framing: each message is a block of header lines
// ("Content-Length: N"), an empty line, and N bytes of JSON.
//
// The reader never trusts the stream: a header block it cannot read is
// reported and skipped, a declared length beyond kMostBodyBytes is read
// past without being held, and the end of input ends the session. Garbage
// in front of a header line is passed over, so one bad message does not
// lose every message after it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Reads up to `size` bytes into `buffer`; 0 at the end of input.
using ByteSource = std::function<size_t(char* buffer, size_t size)>;

enum class FrameStatus { kMessage, kBadHeader, kTooLarge, kEnd };

struct Frame {
  FrameStatus status = FrameStatus::kEnd;
  std::string body;   // the JSON of a message
  std::string error;  // what was wrong with a bad frame
};

// The largest body held in memory: a file of a million lines, escaped.
inline constexpr size_t kMostBodyBytes = size_t{1} << 30;

class FrameReader {
 public:
  explicit FrameReader(ByteSource source) : source_(std::move(source)) {}

  Frame Next();

 private:
  // False at the end of input.
  bool Fill();
  // The next header line without its terminator; false at the end of
  // input. A line longer than a header can be is cut short.
  bool ReadLine(std::string& line);
  // Copies (or, with `keep` false, passes over) `size` body bytes; false
  // when the input ends first.
  bool ReadBody(size_t size, std::string* keep);

  ByteSource source_;
  std::string buffer_;
  // Body bytes of a message too large to hold, still to be passed over.
  size_t skip_ = 0;
  size_t position_ = 0;
};

// The frame around `body`.
std::string FrameMessage(std::string_view body);
