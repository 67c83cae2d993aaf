#include "document/serialize.h"

#include "document/file_io.h"

namespace {

constexpr size_t kChunk = size_t{1} << 20;
// A run of lines at least this long is handed on where it lies in the
// document's bytes, not copied first: writing a huge file then copies
// little more than its small pieces.
constexpr size_t kDirect = size_t{1} << 12;

}  // namespace

std::string_view FallbackTerminator(std::string_view bytes) {
  const size_t end = bytes.find_first_of("\r\n");
  if (end == std::string_view::npos) return PlatformTerminator();
  if (bytes[end] == '\n') return "\n";
  return bytes.substr(end,
                      end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
}

bool WriteSerialized(const SourceDocument& doc, const ChunkWriter& write) {
  const std::string_view bytes = doc.bytes;
  const std::string_view fallback = FallbackTerminator(bytes);
  std::string buffer;
  const auto emit = [&](std::string_view piece) {
    if (piece.size() >= kDirect || buffer.size() + piece.size() > kChunk) {
      if (!buffer.empty() && !write(buffer)) return false;
      buffer.clear();
    }
    if (piece.size() >= kDirect) return write(piece);
    buffer.append(piece);
    return true;
  };

  for (int32_t i = 0; i < doc.lineCount;) {
    // Lines that still follow each other as they did in the file go out as
    // one piece; after a load most of them do.
    const int64_t start = doc.lines[static_cast<size_t>(i)].offset;
    int64_t end = start;
    int32_t next = i;
    do {
      const SourceLine& line = doc.lines[static_cast<size_t>(next)];
      end = line.offset + line.length + line.terminatorLength;
      ++next;
    } while (next < doc.lineCount &&
             doc.lines[static_cast<size_t>(next)].offset == end);
    if (!emit(bytes.substr(static_cast<size_t>(start),
                           static_cast<size_t>(end - start)))) {
      return false;
    }
    if (doc.lines[static_cast<size_t>(next - 1)].terminatorLength == 0 &&
        !emit(fallback)) {
      return false;
    }
    i = next;
  }
  return buffer.empty() || write(buffer);
}

std::string SerializeSource(const SourceDocument& doc) {
  std::string out;
  out.reserve(doc.bytes.size() + 2);
  WriteSerialized(doc, [&](std::string_view piece) {
    out.append(piece);
    return true;
  });
  return out;
}

bool SerializesAsRead(const SourceDocument& doc) {
  int64_t end = 0;
  for (int32_t i = 0; i < doc.lineCount; ++i) {
    const SourceLine& line = doc.lines[static_cast<size_t>(i)];
    if (line.offset != end) return false;
    end = line.offset + line.length + line.terminatorLength;
  }
  // A last line read without a terminator is given one.
  return end == static_cast<int64_t>(doc.bytes.size()) &&
         (doc.lineCount == 0 ||
          doc.lines[static_cast<size_t>(doc.lineCount - 1)].terminatorLength !=
              0);
}
