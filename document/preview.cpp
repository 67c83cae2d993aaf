#include "document/preview.h"

#include <algorithm>

#include "document/line_kinds.h"
#include "document/ostrel_tokens.h"
#include "document/shown_name.h"
#include "document/structure.h"
#include "toolkit/shown_text.h"

namespace {

constexpr int32_t kMostLines = 5000;
constexpr size_t kMostCharacters = 1000;
constexpr size_t kTabWidth = 8;
constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

int32_t SpanKind(TokenKind kind) {
  switch (kind) {
    case TokenKind::kKeyword:
      return kTextKeyword;
    case TokenKind::kComment:
      return kTextComment;
    case TokenKind::kString:
      return kTextString;
  }
  return 0;
}

class PreviewWriter {
 public:
  PreviewWriter(PreviewText& out, int32_t lastNumber)
      : out_(out), width_(std::to_string(lastNumber).size()) {}

  // A line of the file, after its number in the margin.
  void Line(std::string_view line, int32_t number) {
    StartLine();
    const std::string digits = std::to_string(number);
    const size_t margin = out_.text.size();
    out_.text.append(width_ - std::min(width_, digits.size()), ' ');
    out_.text += digits;
    AddSpan(kTextMargin, margin);
    out_.text += "  ";
    Text(line);
  }

  // A line of the preview's own, in the margin's colour.
  void Note(const std::string& note) {
    StartLine();
    const size_t start = out_.text.size();
    out_.text += note;
    AddSpan(kTextMargin, start);
  }

 private:
  void StartLine() {
    if (!out_.text.empty()) out_.text += '\n';
  }

  void AddSpan(int32_t kind, size_t start) {
    if (out_.text.size() > start) {
      out_.spans.push_back({kind, static_cast<int32_t>(start),
                            static_cast<int32_t>(out_.text.size() - start)});
    }
  }

  // The line's characters, its tokens becoming spans as they are passed.
  void Text(std::string_view line) {
    const std::vector<Token> tokens = TokenizeLine(line);
    const bool utf8 = tovi::IsUtf8(line);
    size_t next = 0;  // the token to open or close next
    size_t opened = 0;
    bool open = false;
    const auto passing = [&](size_t at) {
      while (next < tokens.size()) {
        const Token& token = tokens[next];
        if (!open && token.start == at) {
          opened = out_.text.size();
          open = true;
        }
        if (!open || token.start + token.length != at) return;
        AddSpan(SpanKind(token.kind), opened);
        open = false;
        ++next;
      }
    };
    size_t column = 0;
    size_t i = 0;
    while (i < line.size()) {
      passing(i);
      if (column == kMostCharacters) {
        out_.text += kEllipsis;
        break;
      }
      const auto byte = static_cast<uint8_t>(line[i]);
      if (byte == '\t') {
        const size_t spaces = kTabWidth - column % kTabWidth;
        out_.text.append(spaces, ' ');
        column += spaces;
        ++i;
        continue;
      }
      const size_t length =
          utf8 && byte != 0 ? tovi::Utf8Length(line.substr(i)) : 1;
      if (length == 1 && (byte >= 0x80 || byte == 0)) {
        tovi::AppendShownByte(out_.text, byte);
      } else {
        out_.text.append(line.substr(i, length));
      }
      i += length;
      ++column;
    }
    if (i == line.size()) passing(i);
    // A span still open was cut short with its line.
    if (open) AddSpan(SpanKind(tokens[next].kind), opened);
  }

  PreviewText& out_;
  size_t width_;
};

}  // namespace

PreviewText BuildPreview(const SourceDocument& doc, int32_t function) {
  PreviewText preview;
  const auto lineCount = static_cast<int32_t>(doc.lines.size());
  if (function < 0 || function >= static_cast<int32_t>(doc.functions.size())) {
    preview.text = "No function is selected.";
    return preview;
  }
  const FunctionRecord& record = doc.functions[static_cast<size_t>(function)];
  if (record.declLine < 0 || record.declLine >= lineCount) return preview;
  // A file that refuses moves may hold a head without its end: its record
  // has no complete block, and is shown as a function without one.
  const bool hasBlock = record.firstLine >= 0 &&
                        record.firstLine <= record.lastLine &&
                        record.lastLine < lineCount;
  const int32_t shownLast =
      hasBlock ? std::min(record.lastLine, record.firstLine + kMostLines - 1)
               : -1;
  PreviewWriter writer(preview, std::max(record.declLine, shownLast) + 1);
  const std::string_view declaration = doc.Text(record.declLine);
  writer.Line(declaration, record.declLine + 1);
  if (!hasBlock) {
    writer.Note("The file holds no body for " +
                DescribeFunction(ClassifyLine(declaration).name) + ".");
    return preview;
  }
  for (int32_t i = record.firstLine; i <= shownLast; ++i) {
    writer.Line(doc.Text(i), i + 1);
  }
  if (shownLast < record.lastLine) {
    writer.Note(kEllipsis + std::to_string(record.lastLine - shownLast) +
                " more lines, through line " +
                std::to_string(record.lastLine + 1) + ".");
  }
  return preview;
}
