#!/usr/bin/env bash
# Starts the natively built kalvane: bash scripts/run-kalvane.sh BUILDDIR
# With --check-display it only checks that there is a display to start it
# on, so that `make run` can say so before it builds anything.
set -euo pipefail

# The Linux programs draw through GTK, on X11 or natively on Wayland.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "kalvane needs a display (DISPLAY and WAYLAND_DISPLAY are unset): run 'make run' from a desktop session, or on a virtual screen, where nothing will be visible, with 'bash scripts/with-xvfb.sh make run'." >&2
  exit 1
fi
[ "${1:-}" = "--check-display" ] && exit 0

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

exec "$program"
