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

# The Linux programs draw through X11; under Wayland they need XWayland,
# which sets DISPLAY too.
if [ -z "${DISPLAY:-}" ]; then
  echo "kalvane needs an X display, and DISPLAY is not set." >&2
  if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "This Wayland session offers no XWayland; enable it, or:" >&2
  fi
  echo "  - run it from a desktop session, or set DISPLAY (e.g. DISPLAY=:0);" >&2
  echo "  - or run it on a virtual screen:" >&2
  echo "      xvfb-run -s '-screen 0 1024x768x24' $program" >&2
  exit 1
fi

exec "$program"
