#!/usr/bin/env bash
# A built or installed kalvane-lsp (kalvane-lsp.exe under Wine when an
# emulator is given) through one whole session on standard input and
# output: initialize, open a file whose bodies are out of order, format it,
# shut down and exit. The replies must be byte-exact frames, the edit must
# give what kalvane-arrange writes, and the exit status must be 0.
#   session_test.sh PROGRAM DATA-FOLDER [EMULATOR...]
set -euo pipefail
exe=$(realpath "$1")
data=$(realpath "$2")
shift 2
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT

python3 - "$data/shuffled.ost" > "$out.in" <<'PY'
import json, sys
text = open(sys.argv[1], newline='').read()
doc = {"uri": "file:///C:/src/shuffled.ost"}
for message in [
    {"id": 1, "method": "initialize", "params": {"capabilities": {}}},
    {"method": "initialized", "params": {}},
    {"method": "textDocument/didOpen", "params": {"textDocument": dict(
        doc, languageId="ostrel", version=1, text=text)}},
    {"id": 2, "method": "textDocument/formatting",
     "params": {"textDocument": doc, "options": {}}},
    {"id": 3, "method": "shutdown"},
    {"method": "exit"}]:
    body = json.dumps(dict(message, jsonrpc="2.0")).encode()
    sys.stdout.buffer.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
PY
set +e
"$@" "$exe" < "$out.in" > "$out" 2>/dev/null
status=$?
set -e
rm -f "$out.in"
[ "$status" = 0 ] || fail "exit status $status after shutdown and exit"

python3 - "$out" "$data/shuffled.ost" "$data/ordered.ost" <<'PY' ||
import json, sys
replies = open(sys.argv[1], "rb").read()
text = open(sys.argv[2], newline='').read()
messages = []
while replies:
    header, _, rest = replies.partition(b"\r\n\r\n")
    length = int(header.split(b":")[1])
    messages.append(json.loads(rest[:length]))
    replies = rest[length:]
byid = {m.get("id"): m for m in messages}
assert byid[1]["result"]["serverInfo"]["name"] == "kalvane-lsp"
lines = text.splitlines(keepends=True)
starts = [0]
for line in lines:
    starts.append(starts[-1] + len(line))
edits = sorted(byid[2]["result"], key=lambda e: (e["range"]["start"]["line"]),
               reverse=True)
for edit in edits:
    begin = starts[edit["range"]["start"]["line"]]
    end = starts[edit["range"]["end"]["line"]]
    text = text[:begin] + edit["newText"] + text[end:]
assert text == open(sys.argv[3], newline='').read(), text
assert byid[3]["result"] is None
PY
  fail "the replies were not what kalvane gives"
echo "kalvane-lsp session passed"
