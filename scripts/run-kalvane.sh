#!/usr/bin/env bash
# Starts the natively built kalvane: bash scripts/run-kalvane.sh BUILDDIR
set -euo pipefail

build="${1:-build}"
program=""
for candidate in "$build/kalvane" "$build/reorderer/kalvane" "$build/bin/kalvane"; do
  if [ -x "$candidate" ]; then
    program="$candidate"
    break
  fi
done
if [ -z "$program" ]; then
  echo "No kalvane program in $build: build it first (make build)." >&2
  exit 1
fi

# The Linux programs draw through GTK, on X11 or natively on Wayland.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "kalvane needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  echo "  - run it from a desktop session;" >&2
  echo "  - or run it on a virtual screen:" >&2
  echo "      bash scripts/with-xvfb.sh $program" >&2
  exit 1
fi

exec "$program"
