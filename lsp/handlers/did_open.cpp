#include "lsp/handlers/handlers.h"
#include "lsp/server.h"

namespace {

// Ostrel documents: by the client's language id, or by the file's name
// when the client has no id for the language.
bool IsOstrel(const std::string& languageId, const std::string& uri) {
  if (languageId == "ostrel") return true;
  if (uri.size() < 4) return false;
  std::string ending = uri.substr(uri.size() - 4);
  for (char& c : ending) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ending == ".ost";
}

}  // namespace

void OnDidOpen(Server& server, const Json& params) {
  const Json& item = MemberObject(params, "textDocument");
  const std::string uri = Member<std::string>(item, "uri");
  const std::string languageId =
      item.contains("languageId") && item["languageId"].is_string()
          ? item["languageId"].get<std::string>()
          : std::string();
  if (!IsOstrel(languageId, uri)) return;
  auto open = std::make_unique<OpenDocument>();
  open->uri = uri;
  if (item.contains("version") && item["version"].is_number_integer()) {
    open->version = item["version"].get<int64_t>();
  }
  if (!LoadText(*open, Member<std::string>(item, "text"))) {
    Log(uri + ": the document is too large to hold");
  }
  server.documents[uri] = std::move(open);
  PublishDiagnostics(server, uri);
}
