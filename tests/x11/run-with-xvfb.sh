#!/usr/bin/env bash
# Runs a native test program on a virtual X display of its own: Xvfb picks a
# free display number itself (-displayfd), so parallel runs never collide.
# Without Xvfb (Debian package xvfb, which scripts/install-deps.sh installs)
# the test is skipped with that reason (exit 77).
#   run-with-xvfb.sh PROGRAM [ARGS...]
set -u
if ! command -v Xvfb >/dev/null; then
  echo "skipped: Xvfb is not installed (Debian package xvfb)"
  exit 77
fi
numfile=$(mktemp)
# -noreset: the server would otherwise reset whenever its last client goes
# (between two tests), refusing connections meanwhile.
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset 9>"$numfile" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 200); do
  [ -s "$numfile" ] && break
  kill -0 "$xpid" 2>/dev/null || break
  sleep 0.05
done
display=$(head -n 1 "$numfile" 2>/dev/null)
rm -f "$numfile"
if [ -z "$display" ]; then
  echo "run-with-xvfb: Xvfb did not start" >&2
  kill "$xpid" 2>/dev/null
  exit 1
fi
DISPLAY=:$display "$@"
rc=$?
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
exit $rc
