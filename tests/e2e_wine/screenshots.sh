#!/usr/bin/env bash
# Screenshots of both programs under Wine, for a person to look at:
# BUILD/screenshots/kalvane.png (a file loaded, an entry selected),
# kalvane-preview.png (the same with the preview beside it) and
# listdrag.png (in the middle of a drag, the insertion mark showing). The
# driver checks the window and layout sizes while it poses the program;
# here the picture is checked for the one thing only it shows: the icon in
# kalvane's title bar, and none in listdrag's.
#   screenshots.sh BUILD DRIVER DATA EMULATOR...
set -euo pipefail
build=$1 driver=$2 data=$3
shift 3
out=${KALVANE_SCREENSHOTS:-$build/screenshots}
mkdir -p "$out"
[ -n "${DISPLAY:-}" ] || { echo "FAILED: no X display" >&2; exit 1; }

# How much of the top-left corner of the title bar has the orange of the
# icon's arrow, from 0 to 1.
icon_orange() {
  convert "$1" -crop 40x40+0+0 +repage -fuzz 12% -fill black \
    +opaque '#f4a024' -fill white -opaque '#f4a024' -format '%[fx:mean]' info:
}

shoot() {
  local program=$1 title=$2
  local ready=$out/$program.ready done=$out/$program.done
  rm -f "$ready" "$done" "$out/$program.png"
  "${emulator[@]}" "$driver" pose "$program" "$build" "$data" "$ready" "$done" &
  local pose=$!
  while [ ! -e "$ready" ] && kill -0 "$pose" 2>/dev/null; do sleep 0.1; done
  if [ ! -e "$ready" ]; then
    wait "$pose" || true
    echo "FAILED: $program was not posed" >&2
    return 1
  fi
  local geometry x y w h
  geometry=$(xwininfo -name "$title")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
  w=$(sed -n 's/.*Width: *//p' <<<"$geometry")
  h=$(sed -n 's/.*Height: *//p' <<<"$geometry")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$program.png"
  # kalvane poses with its preview beside it: a second picture holds both.
  if [ "$program" = kalvane ]; then
    local preview right bottom
    preview=$(xwininfo -name "Kalvane Preview")
    right=$(( $(sed -n 's/.*Absolute upper-left X: *//p' <<<"$preview") +
              $(sed -n 's/.*Width: *//p' <<<"$preview") ))
    bottom=$(( $(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$preview") +
               $(sed -n 's/.*Height: *//p' <<<"$preview") ))
    (( bottom < y + h )) && bottom=$(( y + h ))
    import -window root -crop "$(( right - x ))x$(( bottom - y ))+${x}+${y}" \
      +repage "$out/kalvane-preview.png"
  fi
  : >"$done"
  wait "$pose"
  rm -f "$ready" "$done"
  echo "$out/$program.png: ${w}x${h}"
}

emulator=("$@")
shoot kalvane Kalvane
shoot listdrag "Listbox dragging demo"

kalvane_icon=$(icon_orange "$out/kalvane.png")
listdrag_icon=$(icon_orange "$out/listdrag.png")
awk -v k="$kalvane_icon" 'BEGIN { exit !(k > 0.005) }' ||
  { echo "FAILED: no icon in kalvane's title bar ($kalvane_icon)" >&2; exit 1; }
awk -v l="$listdrag_icon" 'BEGIN { exit !(l == 0) }' ||
  { echo "FAILED: listdrag's title bar shows the icon ($listdrag_icon)" >&2; exit 1; }
