#!/usr/bin/env bash
# Builds the Windows programs and runs their tests under Wine: the document
# tests over real list controls, and the end-to-end tests that drive
# kalvane.exe and listdrag.exe through their windows.
#
# Everything runs on an X server of its own (Xvfb, on a display number it
# picks itself) and in a Wine prefix inside build-windows/, both stopped or
# left behind when the script ends; the user's display and ~/.wine are
# never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-windows

bash scripts/build-windows.sh

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
# No offers to install Mono or Gecko: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -f "$display_file"
}
display_file=$(mktemp)
trap cleanup EXIT

# Xvfb writes the display number it found free once it accepts clients.
# The screen is the size of the Wine desktop the tests use. -noreset: by
# default the server resets when its last client leaves and drops any client
# that connected meanwhile, so a test program starting as another ended
# could fail to open the display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" \
  >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
wine regedit /S tests/e2e_wine/wine-settings.reg >/dev/null 2>&1
# The desktop setting is read when Wine's session starts, so the session
# starts again, now kept by a persistent server: each test program then
# starts in a fraction of a second, well within the time the test listing
# allows.
wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 </dev/null
wine regedit /S tests/e2e_wine/wine-settings.reg >/dev/null 2>&1

ctest --test-dir "$build" --output-on-failure --timeout 300 -j 2
