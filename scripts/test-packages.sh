#!/usr/bin/env bash
# Tests what a user installs, not the build folders. The Debian package from
# dist/ is installed with dpkg, the installed kalvane plays a scenario
# (load, move, save) under Xvfb, the installed kalvane-arrange arranges a
# folder and the installed kalvane-lsp serves a session, the package is
# removed again and nothing of it may be left. Then the 64-bit zip is unpacked into an empty folder and
# its kalvane.exe plays the same scenario under Wine, and its
# kalvane-arrange.exe arranges the folder and its kalvane-lsp.exe serves
# a session.
#
# Installs and removes a system package, so it needs root; CI runs it on a
# throwaway machine after make test and make package, whose runners it uses.
set -euo pipefail
cd "$(dirname "$0")/.."
dist=$PWD/dist
scenario=$PWD/tests/scenarios/kalvane_move_and_save.scenario
data=$PWD/tests/data
package=kalvane

# The end-to-end runners, each handed the folder that holds the programs.
play_linux() { "$PWD/build/tests/e2e_gtk/gtk_e2e" scenario "$scenario" "$1" "$data"; }
play_windows() { wine build-windows/tests/e2e_wine/wine_driver.exe play "$scenario" "$1" "$data"; }

failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

deb=$(echo "$dist"/kalvane_*_amd64.deb)
zip=$(echo "$dist"/kalvane-*-win64.zip)
[ -f "$deb" ] && [ -f "$zip" ] || { echo "No packages in $dist: run make package" >&2; exit 1; }
if [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" = installed ]; then
  echo "$package is installed already; this test would remove it" >&2
  exit 1
fi

# The desktop's caches that the package's triggers update, where present.
mime_type=/usr/share/mime/text/x-ostrel.xml
mime_cache=/usr/share/applications/mimeinfo.cache
have() { command -v "$1" >/dev/null; }

trap 'dpkg -r "$package" >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb"
if have update-mime-database; then
  [ -f "$mime_type" ] || fail "the file type *.ost is not known after installing"
fi
if have update-desktop-database; then
  grep -q "^text/x-ostrel=.*kalvane.desktop" "$mime_cache" ||
    fail "kalvane is not offered for *.ost files after installing"
fi
play_linux /usr/bin || fail "the installed kalvane did not play $(basename "$scenario")"
bash tests/arrange/tree_test.sh /usr/bin/kalvane-arrange "$data" ||
  fail "the installed kalvane-arrange did not arrange a folder"
bash tests/lsp/session_test.sh /usr/bin/kalvane-lsp "$data" ||
  fail "the installed kalvane-lsp did not serve a session"

dpkg -r "$package"
trap - EXIT
status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] ||
  fail "after dpkg -r the package is still $status"
# Files must be gone; a folder may stay only when something else still has
# it: another package, or files of its own.
while read -r path; do
  path=${path#.}
  [ -n "$path" ] && [ "$path" != / ] || continue
  if [ -d "$path" ]; then
    [ -n "$(ls -A "$path")" ] || dpkg-query -S "${path%/}" >/dev/null 2>&1 ||
      fail "left an empty folder: $path"
  elif [ -e "$path" ] || [ -L "$path" ]; then
    fail "left behind: $path"
  fi
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t)
[ ! -e "$mime_type" ] || fail "the file type *.ost is still known after removing"
[ ! -f "$mime_cache" ] || ! grep -q kalvane.desktop "$mime_cache" ||
  fail "kalvane is still offered for *.ost files after removing"

# The zip as a Windows user gets it: unpacked into an empty folder.
unpacked=$PWD/build-windows/unpacked
rm -rf "$unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
programs=$unpacked/$(basename "$zip" .zip)
[ -f "$programs/kalvane.exe" ] || fail "the zip holds no $(basename "$programs")/kalvane.exe"
source scripts/wine-desktop.sh
play_windows "$programs" || fail "the zip's kalvane.exe did not play $(basename "$scenario")"
bash tests/arrange/tree_test.sh "$programs/kalvane-arrange.exe" "$data" wine ||
  fail "the zip's kalvane-arrange.exe did not arrange a folder"
bash tests/lsp/session_test.sh "$programs/kalvane-lsp.exe" "$data" wine ||
  fail "the zip's kalvane-lsp.exe did not serve a session"

[ "$failures" -eq 0 ] && echo "installed packages passed"
exit $((failures > 0))
