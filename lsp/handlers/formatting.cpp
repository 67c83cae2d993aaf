#include <string>
#include <string_view>
#include <vector>

#include "arrange/settings.h"
#include "lsp/handlers/handlers.h"
#include "lsp/operations.h"
#include "lsp/parse_message.h"
#include "lsp/server.h"

namespace {

// The path of a file: URI, UTF-8; empty for any other URI (an unsaved
// buffer has no folder, so no settings file).
std::string PathOfUri(const std::string& uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.rfind(kScheme, 0) != 0) return "";
  std::string path;
  for (size_t i = kScheme.size(); i < uri.size(); ++i) {
    const int high = i + 2 < uri.size() ? HexValue(uri[i + 1]) : -1;
    const int low = i + 2 < uri.size() ? HexValue(uri[i + 2]) : -1;
    if (uri[i] == '%' && high >= 0 && low >= 0) {
      path += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      path += uri[i];
    }
  }
  // file:///C:/x names C:/x on Windows.
  if (path.size() > 2 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
  return path;
}

}  // namespace

// What kalvane-arrange writes for the file: its bodies in declaration
// order, sorted by name first when the project's settings file asks for
// it. A file kalvane refuses, or one that declares no function, is left as
// it is, as kalvane-arrange leaves it.
Json OnFormatting(Server& server, const Json& params) {
  OpenDocument* open = FindDocument(server, params);
  if (open == nullptr) return Json::array();
  if (open->outOfStep) {
    throw RequestError(ErrorCode::kRequestFailed,
                       "the document is out of step with the editor; "
                       "reopen it");
  }
  if (open->doc.functions.empty()) return Json::array();
  const std::string path = PathOfUri(open->uri);
  if (!path.empty() && SettingsForFile(path).sort) {
    // Already in order of the names, the sort does nothing and the
    // arrangement alone is left to do.
    const std::vector<LineEdit> sorted =
        CommandEdits(*open, Command::kSortByName, 0);
    if (!sorted.empty()) return TextEdits(*open, sorted, server.encoding);
  }
  return TextEdits(*open, CommandEdits(*open, Command::kArrange, 0),
                   server.encoding);
}
