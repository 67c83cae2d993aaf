#!/usr/bin/env bash
# The checks a packager runs on what make package wrote into dist/: lintian
# on the Debian package (no error, no warning), its dependency on libgit2,
# the AppStream data, the desktop entry and the manual pages as the package
# holds them, what each zip holds, and the checksums.
set -euo pipefail
cd "$(dirname "$0")/.."
dist=$PWD/dist
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

deb=$(echo "$dist"/kalvane_*_amd64.deb)
[ -f "$deb" ] || { echo "No Debian package in $dist: run make package" >&2; exit 1; }

echo "lintian $(basename "$deb"):"
lintian --fail-on error,warning "$deb" || fail "lintian"

# kalvane-arrange loads libgit2 instead of linking it, so the dependency is
# declared by the build rather than read from the programs.
dpkg-deb -f "$deb" Depends | grep -Eq '(^|, )libgit2' ||
  fail "the package does not depend on libgit2: $(dpkg-deb -f "$deb" Depends)"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for metainfo in "$unpacked"/usr/share/metainfo/*.xml; do
  appstreamcli validate --no-net --pedantic "$metainfo" ||
    fail "appstreamcli validate $(basename "$metainfo")"
done
for entry in "$unpacked"/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "desktop-file-validate $(basename "$entry")"
done
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings $(basename "$page"): $warnings"
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$unpacked/usr/share/icons/hicolor/${size}x$size/apps/kalvane.png
  [ "$(identify -format %wx%h "$icon" 2>/dev/null)" = "${size}x$size" ] ||
    fail "no ${size}x$size icon"
done

# Each zip: one folder named as the zip, holding exactly these files.
for zip in "$dist"/kalvane-*-win64.zip "$dist"/kalvane-*-win32.zip; do
  folder=$(basename "$zip" .zip)
  expected=$(printf "$folder/%s\n" LICENSE.txt README.txt kalvane-arrange.exe \
    kalvane-lsp.exe kalvane.exe listdrag.exe)
  listed=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
  [ "$listed" = "$expected" ] || fail "$(basename "$zip") holds: $listed"
done

(cd "$dist" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS"
[ "$(wc -l <"$dist/SHA256SUMS")" -eq 3 ] || fail "SHA256SUMS lists no three files"

[ "$failures" -eq 0 ] && echo "packages checked: lintian, dependencies, AppStream, desktop entry, manual pages, zips, checksums"
exit $((failures > 0))
