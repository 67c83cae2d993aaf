# Sourced by the scripts that run the Windows programs in tests: starts an
# X server of their own (Xvfb, on a display number it picks itself) and a
# Wine session in the prefix build-windows/wineprefix, set up for the
# end-to-end driver; both are stopped when the sourcing script exits. The
# user's display and ~/.wine are never touched. Run from the top folder.

export WINEPREFIX=$PWD/build-windows/wineprefix WINEDEBUG=-all
# No offers to install Mono or Gecko: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb=""
display_file=$(mktemp)
stop_wine_desktop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -f "$display_file"
}
trap stop_wine_desktop EXIT

# Xvfb writes the display number it found free once it accepts clients.
# The screen is the size of the Wine desktop the tests use. Without
# -noreset the server starts over whenever its last client leaves, and a
# program connecting meanwhile is refused.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
  3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"

# What Wine says while it is set up goes to a log, shown when a step fails.
setup_log=$(dirname "$WINEPREFIX")/wine-setup.log
: >"$setup_log"
setup_failed() {
  echo "Setting up Wine failed at: $1; its log, $setup_log:" >&2
  tail -n 40 "$setup_log" >&2
  exit 1
}
setup_step() {
  echo "+ $*" >>"$setup_log"
  "$@" >>"$setup_log" 2>&1 </dev/null || setup_failed "$*"
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  # The prefix is judged by its registry, which the server writes out when
  # it ends, not by wineboot's exit status: wineboot also tries to set up
  # 32-bit support, which this machine cannot run.
  echo "+ wineboot -i" >>"$setup_log"
  status=0
  wineboot -i >>"$setup_log" 2>&1 </dev/null || status=$?
  echo "(wineboot -i exited with $status)" >>"$setup_log"
  setup_step wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || setup_failed "wineboot -i"
fi
setup_step wine regedit /S tests/e2e_wine/wine-settings.reg
# The desktop setting is read when Wine's session starts, so the session
# starts again, now kept by a persistent server: each test program then
# starts in a fraction of a second, well within the time the test listing
# allows.
wineserver -k >/dev/null 2>&1 || true
setup_step wineserver -p
setup_step wine regedit /S tests/e2e_wine/wine-settings.reg
