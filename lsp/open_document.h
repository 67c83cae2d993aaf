// A document the editor has open, as the server holds it: the editor's text
// loaded into kalvane's document over a list nobody sees, and what the
// handlers read from it.
//
// The text is kept exactly as the client sent it, in the document's bytes.
// Loading rearranges the document's lines into declaration order, so where
// things stand in the editor is kept apart: `lines` and `records` describe
// the text as it is, `doc` what kalvane makes of it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/source_document.h"
#include "lsp/protocol.h"
#include "toolkit/headless/headless_list.h"

struct OpenDocument {
  std::string uri;
  int64_t version = 0;
  SourceDocument doc;  // doc.bytes is the editor's text
  std::unique_ptr<HeadlessList> list = std::make_unique<HeadlessList>();
  // The editor's lines, in the editor's order.
  std::vector<SourceLine> lines;
  // Per declared function, in list order: where its declaration line and
  // block stand in the editor's text.
  std::vector<FunctionRecord> records;
  // The names as kalvane's list shows them.
  std::vector<std::string> names;
  // Whether the bodies already stand in declaration order, so the
  // document's lines are the editor's.
  bool arranged = true;
  // Set when a change could not be applied: the server's text may then
  // differ from the editor's, and no edit is offered on it until the
  // editor sends the whole text again.
  bool outOfStep = false;
};

// Loads `text` into `open`. False, leaving `open` out of step, when the
// document cannot take the text (too many lines, or memory ran short).
bool LoadText(OpenDocument& open, std::string text);

// Applies the changes of one didChange in order. An InvalidParams
// RequestError, with the text as it was, when a range lies outside the
// text it applies to.
void ApplyChanges(OpenDocument& open, const std::vector<ContentChange>& changes,
                  PositionEncoding encoding);

// The text of line `i` of the editor's text, without its terminator.
std::string_view LineText(const OpenDocument& open, int32_t i);

// The position at the start of line `i`, or the text's end for i = the
// number of lines.
Position LineStart(const OpenDocument& open, int32_t i,
                   PositionEncoding encoding);

// The function (list position) whose declaration line or block holds
// `line` of the editor's text, or -1.
int32_t FunctionAtLine(const OpenDocument& open, int64_t line);

// The head line of function k's body (its FUNCTION line), or -1 when it
// has none.
int32_t HeadLine(const OpenDocument& open, int32_t k);
