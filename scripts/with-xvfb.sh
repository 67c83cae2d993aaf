#!/usr/bin/env bash
# Runs a command on a virtual screen of its own when there is no display:
#   bash scripts/with-xvfb.sh COMMAND...
# Xvfb picks a free display number itself and reports it (-displayfd), so
# no number is guessed; the server is gone when the command ends.
set -euo pipefail

if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi

numberfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numberfile" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$numberfile"' EXIT
# The number is written once the server takes clients.
until [ -s "$numberfile" ]; do
  kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
DISPLAY=":$(head -n1 "$numberfile")" "$@"
