#!/usr/bin/env bash
# Runs a command with the settings of tests/e2e_wine/wine-settings-NAME.reg
# in the test prefix, then puts the usual settings (wine-settings.reg) back,
# whether the command passed or not. Each program reads these settings when
# it starts, so the Wine session itself keeps running.
#   with-settings.sh NAME EMULATOR... -- COMMAND...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
variant=$1
shift
emulator=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do emulator+=("$1"); shift; done
[ $# -gt 1 ] || { echo "usage: with-settings.sh NAME EMULATOR... -- COMMAND..." >&2; exit 2; }
shift
import() {
  "${emulator[@]}" regedit /S "$("${emulator[@]}" winepath -w "$1")"
}
trap 'import "$here/wine-settings.reg"' EXIT
import "$here/wine-settings-$variant.reg"
"$@"
