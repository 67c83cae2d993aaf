#include "lsp/open_document.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "document/line_kinds.h"
#include "document/line_splitter.h"
#include "document/structure.h"
#include "lsp/positions.h"
#include "toolkit/shown_text.h"

namespace {

// Whether the loaded lines follow each other as they do in the text.
bool LinesInTextOrder(const SourceDocument& doc) {
  int64_t next = 0;
  for (const SourceLine& line : doc.lines) {
    if (line.offset != next) return false;
    next = line.offset + line.length + line.terminatorLength;
  }
  return true;
}

// A declaration may name the empty text, which an outline cannot show.
std::string SymbolName(const std::string& entry) {
  if (entry.empty()) return "(unnamed function)";
  return tovi::ShownText(entry);
}

// The byte offset of `position` in the text; throws InvalidParams when it
// lies outside it.
size_t OffsetOf(const OpenDocument& open, const Position& position,
                PositionEncoding encoding) {
  const auto count = static_cast<int64_t>(open.lines.size());
  if (position.line == count && position.character == 0) {
    return open.doc.bytes.size();
  }
  if (position.line >= count) {
    throw RequestError(ErrorCode::kInvalidParams,
                       "line " + std::to_string(position.line) +
                           " lies beyond the document's " +
                           std::to_string(count) + " lines");
  }
  const SourceLine& line = open.lines[static_cast<size_t>(position.line)];
  const std::optional<size_t> byte =
      ByteAtUnits(LineText(open, static_cast<int32_t>(position.line)),
                  position.character, encoding);
  if (!byte) {
    throw RequestError(ErrorCode::kInvalidParams,
                       "character " + std::to_string(position.character) +
                           " does not start a character of line " +
                           std::to_string(position.line));
  }
  return static_cast<size_t>(line.offset) + *byte;
}

}  // namespace

bool LoadText(OpenDocument& open, std::string text) {
  open.outOfStep = true;
  if (LoadSourceBytes(open.doc, open.list->handle(), std::move(text)) !=
      kTrue) {
    return false;
  }
  const SourceDocument& doc = open.doc;
  open.arranged = LinesInTextOrder(doc);
  if (open.arranged) {
    open.lines = doc.lines;
  } else {
    open.lines.clear();
    AppendLines(doc.bytes, 0, doc.bytes.size(), open.lines);
  }
  if (open.arranged && doc.problem.empty()) {
    open.records = doc.functions;
  } else {
    // A refused file keeps its lines, but its records may be incomplete;
    // the scan says where everything stands.
    SourceStructure structure;
    ScanStructure(doc.bytes, std::numeric_limits<int32_t>::max(), structure);
    open.records = std::move(structure.functions);
  }
  const int32_t count = ToviListBox_GetCount(open.list->handle());
  open.names.clear();
  for (int32_t k = 0; k < count; ++k) {
    open.names.push_back(
        SymbolName(ToviListBox_GetItem(open.list->handle(), k)));
  }
  open.outOfStep = false;
  return true;
}

void ApplyChanges(OpenDocument& open, const std::vector<ContentChange>& changes,
                  PositionEncoding encoding) {
  // Each change applies to the text the previous one left; positions are
  // found on that text's lines. Each new text is put together once from the
  // pieces around the change: a large text is never copied whole and then
  // shifted.
  OpenDocument scratch;
  const OpenDocument* current = &open;
  std::string text =
      changes.empty() ? std::string(open.doc.bytes.view()) : std::string();
  for (size_t k = 0; k < changes.size(); ++k) {
    const ContentChange& change = changes[k];
    std::string next;
    if (!change.range) {
      next = change.text;
    } else {
      const size_t begin = OffsetOf(*current, change.range->start, encoding);
      const size_t end = OffsetOf(*current, change.range->end, encoding);
      if (end < begin) {
        throw RequestError(ErrorCode::kInvalidParams,
                           "a change's range ends before it starts");
      }
      const std::string_view before = current->doc.bytes;
      next.reserve(before.size() - (end - begin) + change.text.size());
      next.append(before.substr(0, begin))
          .append(change.text)
          .append(before.substr(end));
    }
    if (k + 1 == changes.size()) {
      text = std::move(next);
    } else {
      scratch.doc.bytes = std::move(next);
      scratch.lines.clear();
      AppendLines(scratch.doc.bytes, 0, scratch.doc.bytes.size(),
                  scratch.lines);
      current = &scratch;
    }
  }
  LoadText(open, std::move(text));
}

std::string_view LineText(const OpenDocument& open, int32_t i) {
  const SourceLine& line = open.lines[static_cast<size_t>(i)];
  return std::string_view(open.doc.bytes)
      .substr(static_cast<size_t>(line.offset),
              static_cast<size_t>(line.length));
}

Position LineStart(const OpenDocument& open, int32_t i,
                   PositionEncoding encoding) {
  const auto count = static_cast<int32_t>(open.lines.size());
  if (i < count) return {i, 0};
  // Past the last line: right after its terminator, or at its end when it
  // has none.
  if (count == 0) return {0, 0};
  const SourceLine& last = open.lines.back();
  if (last.terminatorLength > 0) return {count, 0};
  return {count - 1, UnitLength(LineText(open, count - 1), encoding)};
}

int32_t FunctionAtLine(const OpenDocument& open, int64_t line) {
  for (size_t k = 0; k < open.records.size(); ++k) {
    const FunctionRecord& record = open.records[k];
    if (record.declLine == line ||
        (record.firstLine >= 0 && record.firstLine <= line &&
         line <= record.lastLine)) {
      return static_cast<int32_t>(k);
    }
  }
  return -1;
}

int32_t HeadLine(const OpenDocument& open, int32_t k) {
  const FunctionRecord& record = open.records[static_cast<size_t>(k)];
  if (record.firstLine < 0 || record.lastLine < record.firstLine) return -1;
  for (int32_t i = record.firstLine; i <= record.lastLine; ++i) {
    if (ClassifyLine(LineText(open, i)).kind == LineKind::kHead) return i;
  }
  return -1;
}
