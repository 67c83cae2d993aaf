// kalvane-lsp run as an editor runs it: a child process spoken to over
// pipes, observed only through what it writes back and its exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "document/source_document.h"
#include "tests/temp_folder.h"
#include "toolkit/headless/headless_list.h"

using Json = nlohmann::json;
extern char** environ;

namespace {

const std::string kUri = "file:///work/a.ost";

class Client {
 public:
  Client() {
    int in[2], out[2];
    EXPECT_EQ(pipe2(in, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(KALVANE_LSP), nullptr};
    EXPECT_EQ(posix_spawn(&pid_, KALVANE_LSP, &actions, nullptr, argv, environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
  }
  ~Client() {
    if (to_ >= 0) close(to_);
    close(from_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }

  void Raw(const std::string& bytes) {
    ASSERT_EQ(write(to_, bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }
  void Send(const Json& message) {
    const std::string body = message.dump();
    Raw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  void Notify(const std::string& method, const Json& params) {
    Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  // The reply to a request just sent, skipping notifications.
  Json Request(const std::string& method, const Json& params = Json::object()) {
    const int id = ++lastId_;
    Send({{"jsonrpc", "2.0"},
          {"id", id},
          {"method", method},
          {"params", params}});
    return Until([&](const Json& m) { return m.value("id", Json()) == id; });
  }
  // The next message that `wanted` accepts; null when the server ends or
  // nothing comes for a minute (a hang, which fails the test).
  template <typename Wanted>
  Json Until(Wanted&& wanted) {
    for (;;) {
      const Json message = Next();
      if (message.is_null() || wanted(message)) return message;
    }
  }
  Json Diagnostics() {
    return Until([](const Json& m) {
      return m.value("method", "") == "textDocument/publishDiagnostics";
    })["params"]["diagnostics"];
  }
  void Initialize(const Json& capabilities = Json::object()) {
    Request("initialize", {{"capabilities", capabilities}});
    Notify("initialized", Json::object());
  }
  void Open(const std::string& text, const std::string& uri = kUri) {
    Notify("textDocument/didOpen", {{"textDocument",
                                     {{"uri", uri},
                                      {"languageId", "ostrel"},
                                      {"version", 1},
                                      {"text", text}}}});
  }
  Json Doc(const std::string& uri = kUri) const {
    return {{"textDocument", {{"uri", uri}}}};
  }
  int Exit() {
    close(to_);
    to_ = -1;
    int raw = 0;
    waitpid(pid_, &raw, 0);
    pid_ = -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

 private:
  bool Read(std::string& into, size_t size) {
    while (buffer_.size() < size) {
      pollfd ready{from_, POLLIN, 0};
      char chunk[65536];
      if (poll(&ready, 1, 60000) <= 0) return false;
      const ssize_t got = read(from_, chunk, sizeof chunk);
      if (got <= 0) return false;
      buffer_.append(chunk, static_cast<size_t>(got));
    }
    into = buffer_.substr(0, size);
    buffer_.erase(0, size);
    return true;
  }
  Json Next() {
    std::string header;
    while (header.size() < 4 ||
           header.substr(header.size() - 4) != "\r\n\r\n") {
      std::string c;
      if (!Read(c, 1)) return Json();
      header += c;
    }
    std::string body;
    if (!Read(body, std::stoul(header.substr(header.find(':') + 1)))) {
      return Json();
    }
    return Json::parse(body);
  }

  pid_t pid_ = -1;
  int to_ = -1, from_ = -1, lastId_ = 0;
  std::string buffer_;
};

int ErrorCode(const Json& reply) {
  return reply["error"].value("code", 0);
}

// What the edits make of `text`, applied as an editor applies them: every
// range refers to the text before any of them, counted in UTF-16.
std::string Apply(const std::string& text, const Json& edits) {
  std::vector<size_t> starts{0};
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' ||
        (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      starts.push_back(i + 1);
    }
  }
  const auto offset = [&](const Json& p) {
    size_t at = starts[p["line"].get<size_t>()];
    for (int64_t units = p["character"]; units > 0; --units) {
      const auto c = static_cast<unsigned char>(text[at]);
      const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      if (length == 4) --units;
      at += length;
    }
    return at;
  };
  std::vector<std::tuple<size_t, size_t, std::string>> pieces;
  for (const Json& edit : edits) {
    pieces.emplace_back(offset(edit["range"]["start"]),
                        offset(edit["range"]["end"]), edit["newText"]);
  }
  std::sort(pieces.rbegin(), pieces.rend());
  std::string out = text;
  for (const auto& [begin, end, insert] : pieces) {
    out.replace(begin, end - begin, insert);
  }
  return out;
}

// What kalvane's document makes of `text` with `command` run on function
// `position`.
std::string DocumentAfter(const std::string& text,
                          void (*command)(SourceDocument&, HWND),
                          int32_t position) {
  SourceDocument doc;
  HeadlessList list;
  LoadSourceBytes(doc, list.handle(), text);
  ToviListBox_SetSelection(list.handle(), {position});
  if (command != nullptr) command(doc, list.handle());
  return SerializeSource(doc);
}

std::string Data(const std::string& name) {
  return testing_support::ReadFileBytes(std::string(KALVANE_DATA) + "/" + name);
}

// Formatting sorts first where the project's settings file says so, as
// kalvane-arrange does for the same path; elsewhere it only arranges.
TEST(LspProtocol, FormattingFollowsTheSettingsFile) {
  testing_support::TempFolder folder{"kalvane-lsp-"};
  std::filesystem::create_directory(folder.File("p"));
  testing_support::WriteFileBytes(folder.File("p/.kalvane-arrange.toml"),
                                  "sort = true\n");
  const std::string text =
      "DECLARE FUNCTION b ()\nDECLARE FUNCTION a ()\n"
      "FUNCTION a ()\nEND FUNCTION\nFUNCTION b ()\nEND FUNCTION\n";
  const std::string sorted = DocumentAfter(
      text, [](SourceDocument& d, HWND l) { SortFunctionsByName(d, l); }, 0);
  Client client;
  client.Initialize();
  for (const auto& [name, expected] :
       {std::pair{"p/a%20b.ost", sorted},
        {"a.ost", DocumentAfter(text, nullptr, 0)}}) {
    const std::string uri = "file://" + folder.File(name);
    client.Open(text, uri);
    EXPECT_EQ(Apply(text, client.Request("textDocument/formatting",
                                         client.Doc(uri))["result"]),
              expected)
        << name;
  }
}

TEST(LspProtocol, LifecycleErrors) {
  Client client;
  EXPECT_EQ(
      ErrorCode(client.Request("textDocument/documentSymbol", client.Doc())),
      -32002);
  EXPECT_EQ(ErrorCode(client.Request("initialize", Json::array())), -32602);
  client.Initialize();
  EXPECT_EQ(ErrorCode(client.Request("initialize", {{"capabilities", {}}})),
            -32600);
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", client.Doc())),
            -32601);
  EXPECT_EQ(ErrorCode(client.Request("textDocument/codeAction", client.Doc())),
            -32602);
  EXPECT_EQ(client.Request("shutdown")["result"], Json());
  EXPECT_EQ(
      ErrorCode(client.Request("textDocument/documentSymbol", client.Doc())),
      -32600);
  client.Notify("exit", Json::object());
  EXPECT_EQ(client.Exit(), 0);
  // Without shutdown, exit (or the end of input) is a failure.
  Client abrupt;
  abrupt.Initialize();
  abrupt.Notify("$/cancelRequest", {{"id", 1}});
  abrupt.Notify("exit", Json::object());
  EXPECT_EQ(abrupt.Exit(), 1);
  Client ended;
  EXPECT_EQ(ended.Exit(), 1);
}

TEST(LspProtocol, BadFramingAndBadJsonAreAnsweredAndTheSessionGoesOn) {
  Client client;
  client.Initialize();
  const auto parseError = [&] {
    return client.Until([](const Json& m) { return m.contains("error"); });
  };
  client.Raw("Content-Type: text/plain\r\n\r\n");
  EXPECT_EQ(ErrorCode(parseError()), -32700);
  client.Raw("Content-Length: twelve\r\n\r\n");
  EXPECT_EQ(ErrorCode(parseError()), -32700);
  client.Raw("Content-Length: 99999999999999999999\r\n\r\n");
  EXPECT_EQ(ErrorCode(parseError()), -32700);
  // A length beyond what the server holds is refused at once, and its
  // bytes are read past, not held.
  Client large;
  large.Initialize();
  large.Raw("Content-Length: 1073741825\r\n\r\n" + std::string(1 << 20, ' '));
  EXPECT_EQ(
      ErrorCode(large.Until([](const Json& m) { return m.contains("error"); })),
      -32700);
  for (const std::string& body :
       {std::string("{\"jsonrpc\": \"2.0\", \"id\": 1, \"method\":"),
        std::string("\xff\xfe"),
        std::string(100000, '[') + std::string(100000, ']'),
        std::string("{\"jsonrpc\":\"2.0\",\"method\":\"x\",\"params\":"
                    "\"\xc3\x28\"}")}) {
    client.Raw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
               body);
    const Json error = parseError();
    EXPECT_EQ(ErrorCode(error), -32700) << body.substr(0, 40);
    EXPECT_TRUE(error["id"].is_null());
  }
  for (const char* body :
       {"[]", "42", "{\"jsonrpc\":\"1.0\",\"id\":2,\"method\":\"shutdown\"}",
        "{\"jsonrpc\":2,\"id\":2,\"method\":\"shutdown\"}",
        "{\"jsonrpc\":\"2.0\",\"id\":{},\"method\":\"shutdown\"}"}) {
    client.Raw("Content-Length: " + std::to_string(strlen(body)) + "\r\n\r\n" +
               body);
    EXPECT_EQ(ErrorCode(parseError()), -32600) << body;
  }
  // Garbage left in front of a header does not lose the message.
  client.Raw("junk\r\nContent-Length: 0\r\n\r\nleftover");
  EXPECT_EQ(ErrorCode(parseError()), -32700);
  client.Raw("  ");
  EXPECT_EQ(client.Request("shutdown")["result"], Json());
}

TEST(LspProtocol, OutOfRangeChangesLeaveTheDocumentAsItWas) {
  Client client;
  client.Initialize();
  const std::string text = Data("shuffled.ost");
  client.Open(text);
  EXPECT_EQ(client.Diagnostics().size(), 1u);
  const auto change = [&](Json range) {
    client.Notify(
        "textDocument/didChange",
        {{"textDocument", {{"uri", kUri}, {"version", 2}}},
         {"contentChanges", Json::array({{{"range", range}, {"text", "X"}}})}});
  };
  const auto at = [](int line, int character) {
    return Json{{"line", line}, {"character", character}};
  };
  for (const Json& range : {Json{{"start", at(40, 0)}, {"end", at(40, 0)}},
                            Json{{"start", at(0, 99)}, {"end", at(0, 99)}},
                            Json{{"start", at(2, 3)}, {"end", at(1, 0)}},
                            Json{{"start", at(-1, 0)}, {"end", at(0, 0)}}}) {
    change(range);
    const Json shown = client.Until([](const Json& m) {
      return m.value("method", "") == "window/showMessage";
    });
    EXPECT_EQ(shown["params"]["type"], 1) << range;
    // Out of step: no edit is offered on a text the editor does not have.
    EXPECT_EQ(
        ErrorCode(client.Request("textDocument/formatting", client.Doc())),
        -32803);
    // The whole text brings it back.
    client.Notify("textDocument/didChange",
                  {{"textDocument", {{"uri", kUri}, {"version", 3}}},
                   {"contentChanges", Json::array({{{"text", text}}})}});
    EXPECT_EQ(client.Diagnostics().size(), 1u);
    EXPECT_EQ(Apply(text, client.Request("textDocument/formatting",
                                         client.Doc())["result"]),
              DocumentAfter(text, nullptr, 0));
  }
}

TEST(LspProtocol, PositionsCountUtf16UnitsOnNonAsciiLines) {
  const std::string text =
      "DECLARE FUNCTION \xF0\x9F\x98\x80\xC3\xA9t\xC3\xA9 ()\n"
      "FUNCTION \xF0\x9F\x98\x80\xC3\xA9t\xC3\xA9 ()\nEND FUNCTION\n";
  for (const bool utf8 : {false, true}) {
    Client client;
    client.Initialize(
        utf8 ? Json{{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}}
             : Json::object());
    client.Open(text);
    client.Diagnostics();
    Json symbols =
        client.Request("textDocument/documentSymbol", client.Doc())["result"];
    ASSERT_EQ(symbols.size(), 1u);
    EXPECT_EQ(symbols[0]["name"], "\xF0\x9F\x98\x80\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(symbols[0]["selectionRange"]["end"]["character"],
              utf8 ? 9 + 9 : 9 + 5);
    EXPECT_EQ(symbols[0]["range"]["end"]["line"], 2);
    // Inserting after the emoji: two units in UTF-16, four bytes in UTF-8;
    // one unit in UTF-16 is inside it.
    const int after = 17 + (utf8 ? 4 : 2);
    const auto insert = [&](int character) {
      client.Notify(
          "textDocument/didChange",
          {{"textDocument", {{"uri", kUri}, {"version", 2}}},
           {"contentChanges",
            Json::array({{{"range",
                           {{"start", {{"line", 0}, {"character", character}}},
                            {"end", {{"line", 0}, {"character", character}}}}},
                          {"text", "x"}}})}});
    };
    insert(after);
    client.Diagnostics();
    symbols =
        client.Request("textDocument/documentSymbol", client.Doc())["result"];
    EXPECT_EQ(symbols[0]["name"], "\xF0\x9F\x98\x80x\xC3\xA9t\xC3\xA9");
    insert(18);
    EXPECT_EQ(client.Until([](const Json& m) {
      return m.value("method", "") == "window/showMessage";
    })["params"]["type"],
              1);
  }
}

TEST(LspProtocol, EditsGiveTheDocumentsBytesWhateverTheLineEndings) {
  // LF, CRLF and CR mixed, the bodies out of order, no final line ending.
  const std::string mixed =
      "DECLARE FUNCTION b10 ()\r\nDECLARE FUNCTION B2 ()\rDECLARE FUNCTION "
      "a ()\n\r\n' a's note\rFUNCTION a ()\r\nEND FUNCTION\nFUNCTION b10 ()\r"
      "END FUNCTION\r\nFUNCTION B2 ()\nEND FUNCTION";
  Client client;
  client.Initialize();
  client.Open(mixed);
  EXPECT_EQ(client.Diagnostics()[0]["severity"], 3);
  const Json format = client.Request("textDocument/formatting", client.Doc());
  EXPECT_EQ(Apply(mixed, format["result"]), DocumentAfter(mixed, nullptr, 0));
  Json actions =
      client.Request("textDocument/codeAction",
                     {{"textDocument", {{"uri", kUri}}},
                      {"range",
                       {{"start", {{"line", 6}, {"character", 0}}},
                        {"end", {{"line", 6}, {"character", 0}}}}},
                      {"context", {{"diagnostics", Json::array()}}}})["result"];
  // Out of order: only the arrangement and the sort.
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(
      Apply(mixed, actions[1]["edit"]["changes"][kUri]),
      DocumentAfter(
          mixed, [](SourceDocument& d, HWND l) { SortFunctionsByName(d, l); },
          0));
  // Arranged, every function offers the moves its rules allow, and each
  // edit gives what the document's own command gives.
  const std::string arranged = DocumentAfter(mixed, nullptr, 0);
  client.Notify("textDocument/didChange",
                {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                 {"contentChanges", Json::array({{{"text", arranged}}})}});
  EXPECT_EQ(client.Diagnostics(), Json::array());
  using Command = void (*)(SourceDocument&, HWND);
  const std::map<std::string, Command> commands = {
      {"Move Function Up", MoveFunctionUp},
      {"Move Function Down", MoveFunctionDown},
      {"Move Function to Top",
       [](SourceDocument& d, HWND l) { MoveFunctionToTop(d, l); }},
      {"Move Function to Bottom",
       [](SourceDocument& d, HWND l) { MoveFunctionToBottom(d, l); }},
      {"Sort Functions by Name",
       [](SourceDocument& d, HWND l) { SortFunctionsByName(d, l); }}};
  const Json symbols =
      client.Request("textDocument/documentSymbol", client.Doc())["result"];
  const std::vector<std::vector<std::string>> offered = {
      {"Move Function Down", "Move Function to Bottom",
       "Sort Functions by Name"},
      {"Move Function Down", "Move Function to Top", "Move Function to Bottom",
       "Sort Functions by Name"},
      {"Move Function Up", "Move Function to Top", "Sort Functions by Name"}};
  for (int position = 0; position < 3; ++position) {
    actions = client.Request(
        "textDocument/codeAction",
        {{"textDocument", {{"uri", kUri}}},
         {"range", symbols[position]["selectionRange"]},
         {"context", {{"diagnostics", Json::array()}}}})["result"];
    std::vector<std::string> titles;
    for (const Json& action : actions) {
      titles.push_back(action["title"]);
      EXPECT_EQ(Apply(arranged, action["edit"]["changes"][kUri]),
                DocumentAfter(arranged, commands.at(action["title"]), position))
          << action["title"] << " on " << position;
    }
    EXPECT_EQ(titles, offered[static_cast<size_t>(position)]);
  }
  // A file that declares nothing is left as kalvane-arrange leaves it, even
  // without a final line ending.
  client.Notify("textDocument/didChange",
                {{"textDocument", {{"uri", kUri}, {"version", 3}}},
                 {"contentChanges", Json::array({{{"text", "PRINT 1"}}})}});
  EXPECT_EQ(client.Request("textDocument/formatting", client.Doc())["result"],
            Json::array());
}

}  // namespace
