#include "lsp/framing.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <utility>

namespace {

// Longer header lines are not headers; the rest of such a line is dropped.
constexpr size_t kMostHeaderLine = 1024;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// The length a "Content-Length" value gives; false when it is no plain
// decimal number or too large to count.
bool ParseLength(std::string_view value, size_t& length) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
    value.remove_prefix(1);
  }
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
    value.remove_suffix(1);
  }
  if (value.empty() || value.size() > 18) return false;
  length = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    length = length * 10 + static_cast<size_t>(c - '0');
  }
  return true;
}

}  // namespace

bool FrameReader::Fill() {
  if (position_ > 0) {
    buffer_.erase(0, position_);
    position_ = 0;
  }
  char chunk[1 << 16];
  const size_t got = source_(chunk, sizeof chunk);
  if (got == 0) return false;
  buffer_.append(chunk, got);
  return true;
}

bool FrameReader::ReadLine(std::string& line) {
  line.clear();
  bool overlong = false;
  for (;;) {
    const size_t newline = buffer_.find('\n', position_);
    const size_t end = newline == std::string::npos ? buffer_.size() : newline;
    if (!overlong) {
      line.append(buffer_, position_,
                  std::min(end - position_, kMostHeaderLine - line.size()));
      overlong = line.size() >= kMostHeaderLine;
    }
    if (newline != std::string::npos) {
      position_ = newline + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    position_ = buffer_.size();
    if (!Fill()) return !line.empty();
  }
}

bool FrameReader::ReadBody(size_t size, std::string* keep) {
  while (size > 0) {
    if (position_ == buffer_.size() && !Fill()) return false;
    const size_t take = std::min(size, buffer_.size() - position_);
    if (keep != nullptr) keep->append(buffer_, position_, take);
    position_ += take;
    size -= take;
  }
  return true;
}

Frame FrameReader::Next() {
  Frame frame;
  // The body of a message refused for its size is passed over only now, so
  // that the refusal went out before the server waits for those bytes.
  if (skip_ > 0 && !ReadBody(std::exchange(skip_, 0), nullptr)) return frame;
  std::string line;
  bool haveLength = false;
  bool malformed = false;
  size_t length = 0;
  // Blank lines between messages are tolerated; the block begins at the
  // first line that holds anything.
  do {
    if (!ReadLine(line)) return frame;
  } while (line.empty());
  do {
    std::string lower = Lower(line);
    // Bytes left over from a broken message may stand in front of the next
    // header, on lines of their own or on the header's line: what came
    // before a length is no part of this message.
    const size_t at = lower.find("content-length:");
    if (at != std::string::npos) {
      lower.erase(0, at);
      malformed = false;
    }
    const size_t colon = lower.find(':');
    if (colon == std::string::npos || colon == 0) {
      malformed = true;
    } else if (lower.compare(0, colon, "content-length") == 0) {
      haveLength =
          ParseLength(std::string_view(lower).substr(colon + 1), length);
      if (!haveLength) malformed = true;
    }
    if (!ReadLine(line)) return frame;
  } while (!line.empty());
  if (malformed || !haveLength) {
    frame.status = FrameStatus::kBadHeader;
    frame.error = haveLength ? "a header line could not be read"
                             : "the header has no valid Content-Length";
    return frame;
  }
  if (length > kMostBodyBytes) {
    frame.status = FrameStatus::kTooLarge;
    frame.error = "a message of " + std::to_string(length) +
                  " bytes is larger than the server takes";
    skip_ = length;
    return frame;
  }
  if (!ReadBody(length, &frame.body)) return Frame{};
  frame.status = FrameStatus::kMessage;
  return frame;
}

std::string FrameMessage(std::string_view body) {
  std::string out =
      "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}
