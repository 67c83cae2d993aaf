// kalvane's commands on an open document, as edits of the editor's text.
//
// Each command runs on the loaded document exactly as kalvane's menu runs
// it (the same procedure, the same rule for where it applies); the lines it
// leaves are compared with the editor's, and the step is undone again, so
// the document keeps describing the editor's text.
#pragma once

#include <cstdint>
#include <vector>

#include "lsp/line_edits.h"
#include "lsp/open_document.h"

enum class Command {
  kMoveUp,
  kMoveDown,
  kMoveToTop,
  kMoveToBottom,
  kSortByName,
  kArrange,
};

// What `command` on the function at list position `position` (ignored by
// the sort and the arrangement) makes of the editor's lines; empty when it
// does not apply there or would change nothing.
std::vector<LineEdit> CommandEdits(OpenDocument& open, Command command,
                                   int32_t position);

// The edits as the protocol's text edits on the editor's text.
std::vector<TextEdit> TextEdits(const OpenDocument& open,
                                const std::vector<LineEdit>& edits,
                                PositionEncoding encoding);
