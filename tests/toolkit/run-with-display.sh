#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual display of its own:
# Wine's Direct2D draws through OpenGL, which needs an X server, and CI has
# none. Xvfb picks a free display itself (-displayfd), so parallel runs never
# collide. The program gets a Wine prefix of its own in the build folder,
# whose Wine server is stopped afterwards so that it never outlives the
# display it was started with. No display, no run: the test then fails.
#   run-with-display.sh WINE-RUNNER PROGRAM [ARGS...]
set -u
if ! command -v Xvfb >/dev/null; then
  echo "run-with-display: Xvfb is not installed" >&2
  exit 1
fi
build_dir=$PWD
while [ ! -f "$build_dir/CMakeCache.txt" ] && [ "$build_dir" != / ]; do
  build_dir=$(dirname "$build_dir")
done
[ "$build_dir" = / ] && build_dir=$PWD
# A test that needs a prefix set up otherwise names one of its own
# (ORVANE_WINE_PREFIX_NAME; cmake/wine-prefix-setup.sh says how it differs).
export WINEPREFIX=$build_dir/${ORVANE_WINE_PREFIX_NAME:-wineprefix-display}
mkdir -p "$build_dir"

exec 8>"$WINEPREFIX.run.lock"
flock 8

numfile=$(mktemp)
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$numfile" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 200); do
  [ -s "$numfile" ] && break
  if ! kill -0 "$xpid" 2>/dev/null; then break; fi
  sleep 0.05
done
display=$(head -n 1 "$numfile" 2>/dev/null)
rm -f "$numfile"
if [ -z "$display" ]; then
  echo "run-with-display: Xvfb did not start" >&2
  kill "$xpid" 2>/dev/null
  exit 1
fi
export DISPLAY=:$display

"$@"
rc=$?

wineserver -k >/dev/null 2>&1
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
exit $rc
