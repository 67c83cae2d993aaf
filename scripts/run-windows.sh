#!/usr/bin/env bash
# Starts the Windows kalvane.exe under Wine on your X display, building it
# first when something changed. Wine keeps its files in build-windows/.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
  echo "There is no X display (DISPLAY is not set), so Wine cannot show the" >&2
  echo "window. Run it under a virtual X server instead, for example:" >&2
  echo "  xvfb-run -a bash scripts/run-windows.sh" >&2
  exit 1
fi

bash scripts/build-windows.sh
export WINEPREFIX=$PWD/build-windows/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine build-windows/kalvane.exe
