#!/usr/bin/env bash
# Checks what the Windows programs carry, read from the files themselves:
# kalvane.exe the icon "quorlet" as its first icon group (what Explorer
# shows) and the manifest asking for version 6 of the common controls;
# listdrag.exe the icon and no manifest; both only system DLLs, so they
# start on a clean Windows.
#   check_resources.sh KALVANE_EXE LISTDRAG_EXE QUORLET_ICO ARCH OBJDUMP
set -euo pipefail
kalvane=$1 listdrag=$2 icon=$3 arch=$4 objdump=$5
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

check_icon "$kalvane"
check_icon "$listdrag"
check_dlls "$kalvane"
check_dlls "$listdrag"

manifest=$(wrestool -x --raw --type=24 --name=1 "$kalvane")
for expected in \
  "<assemblyIdentity type=\"win32\" name=\"Kalvane\" version=\"1.0.0.0\" processorArchitecture=\"$arch\"/>" \
  "<description>A program that relocates functions</description>" \
  "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"$arch\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"; do
  grep -qF -- "$expected" <<<"$manifest" ||
    fail "kalvane.exe's manifest lacks: $expected"
done

[ -z "$(wrestool -l --type=24 "$listdrag")" ] ||
  fail "listdrag.exe carries a manifest"

[ "$failures" -eq 0 ] && echo "resources as expected"
exit $((failures > 0))
