#!/bin/bash
# An interrupted run leaves nothing behind. The report goes into a pipe that
# is never read, so the tool is sure to be mid-run (blocked on writing) when
# it is told to stop; its picture's temporary file must go with it.
#   cli_interrupt.sh TOOL
set -u
tool=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvane-cli.XXXXXX")
trap 'rm -rf "$dir"' EXIT
"$tool" --make-test-signal "$dir/long.wav" --signal-seconds 120 >/dev/null || exit 1
mkfifo "$dir/pipe"
exec 3<>"$dir/pipe"  # a reader that never reads
"$tool" "$dir/long.wav" -o "$dir/pipe" --plot "$dir/plot.png" 2>/dev/null &
pid=$!
for _ in $(seq 100); do
  ls -A "$dir" | grep -q '^\.plot\.png\.tmp-' && break
  sleep 0.1
done
ls -A "$dir" | grep -q '^\.plot\.png\.tmp-' || { echo "the run never started its picture"; kill "$pid"; exit 1; }
sleep 0.3
kill -TERM "$pid"
wait "$pid"
status=$?
exec 3>&-
[ "$status" -ne 0 ] || { echo "the run finished instead of blocking"; exit 1; }
left=$(ls -A "$dir" | grep -v -e '^long\.wav$' -e '^pipe$')
[ -z "$left" ] || { echo "left behind: $left"; exit 1; }
echo "interrupted run left nothing behind"
