#!/usr/bin/env bash
# Checks what the Windows programs carry, read from the files themselves:
# kalvane.exe the icon "quorlet" as its first icon group (what Explorer
# shows) and the manifest asking for version 6 of the common controls;
# listdrag.exe the icon and no manifest; both the project's version in
# their version resource, and only system DLLs, so they start on a clean
# Windows.
#   check_resources.sh KALVANE_EXE LISTDRAG_EXE QUORLET_ICO ARCH OBJDUMP VERSION
set -euo pipefail
kalvane=$1 listdrag=$2 icon=$3 arch=$4 objdump=$5 version=$6
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

check_icon() {
  local exe=$1
  local first
  first=$(wrestool -l --type=14 "$exe" | head -n 1)
  [[ $first == *"--name='QUORLET'"* ]] ||
    fail "$exe: the first icon group is not QUORLET: ${first:-none}"
  # wrestool pads what it extracts; the icon's own bytes come first.
  wrestool -x --type=14 --name=QUORLET "$exe" |
    cmp -s -n "$(stat -c %s "$icon")" - "$icon" ||
    fail "$exe: the icon QUORLET is not resources/quorlet.ico"
}

check_dlls() {
  local exe=$1 dll
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | \
        ole32.dll | oleaut32.dll | shell32.dll | advapi32.dll | msvcrt.dll) ;;
      *) fail "$exe needs $dll, which a clean Windows does not have" ;;
    esac
  done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
}

# The numbers Windows compares (the fixed part, after its signature
# FEEF04BD) and the texts the Details page shows.
check_version() {
  local exe=$1 hex numbers texts field
  hex=$(wrestool -x --raw --type=16 --name=1 "$exe" | od -An -v -tx1 | tr -d ' \n')
  [[ $hex == *bd04effe* ]] || { fail "$exe has no version resource"; return; }
  hex=${hex#*bd04effe}
  # The structure's own version, then file and product version, each as a
  # high and a low 32-bit word of two 16-bit numbers, little-endian.
  word() { echo $((16#${hex:$(($1 * 8 + 6)):2}${hex:$(($1 * 8 + 4)):2})); }
  low() { echo $((16#${hex:$(($1 * 8 + 2)):2}${hex:$(($1 * 8)):2})); }
  IFS=. read -r major minor patch <<<"$version"
  for field in 1 3; do
    numbers="$(word "$field").$(low "$field").$(word $((field + 1))).$(low $((field + 1)))"
    [ "$numbers" = "$major.$minor.$patch.0" ] ||
      fail "$exe: version numbers $numbers, not $major.$minor.$patch.0"
  done
  # Each text follows its name; the length words in front of the names
  # come out as stray characters, so a name is matched at a line's end.
  texts=$(wrestool -x --raw --type=16 --name=1 "$exe" |
    iconv -c -f UTF-16LE -t UTF-8 | tr '\0' '\n' | grep -v '^$')
  value() { grep -A1 -- "$1\$" <<<"$texts" | sed -n 2p; }
  for field in FileVersion ProductVersion; do
    [ "$(value "$field")" = "$version" ] || fail "$exe: $field is not $version"
  done
  [ "$(value ProductName)" = Kalvane ] || fail "$exe: ProductName is not Kalvane"
  [ "$(value OriginalFilename)" = "$(basename "$exe")" ] ||
    fail "$exe: OriginalFilename is not $(basename "$exe")"
  [ -n "$(value FileDescription)" ] || fail "$exe has no FileDescription"
}

check_icon "$kalvane"
check_icon "$listdrag"
check_dlls "$kalvane"
check_dlls "$listdrag"
check_version "$kalvane"
check_version "$listdrag"

manifest=$(wrestool -x --raw --type=24 --name=1 "$kalvane")
for expected in \
  "<assemblyIdentity type=\"win32\" name=\"Kalvane\" version=\"1.0.0.0\" processorArchitecture=\"$arch\"/>" \
  "<description>A program that relocates functions</description>" \
  "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"$arch\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>" \
  ">true/pm</dpiAware>" ">PerMonitorV2, PerMonitor</dpiAwareness>"; do
  grep -qF -- "$expected" <<<"$manifest" ||
    fail "kalvane.exe's manifest lacks: $expected"
done

[ -z "$(wrestool -l --type=24 "$listdrag")" ] ||
  fail "listdrag.exe carries a manifest"

[ "$failures" -eq 0 ] && echo "resources as expected"
exit $((failures > 0))
