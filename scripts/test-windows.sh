#!/usr/bin/env bash
# Builds the Windows programs and runs their tests under Wine: the document
# tests over real list controls, and the end-to-end tests that drive
# kalvane.exe and listdrag.exe through their windows.
#
# Everything runs on an X server of its own and in a Wine prefix inside
# build-windows/ (see wine-desktop.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-windows

bash scripts/build-windows.sh

source scripts/wine-desktop.sh
ctest --test-dir "$build" --output-on-failure --timeout 300 -j 2
