#!/bin/sh
# Makes the golden signals and the expected CSVs of the metering tool's
# golden tests with a built orvane-meter:
#   tests/meter_tool/data/regenerate.sh build/native/tools/orvane-meter/orvane-meter
# Regenerate only when a change is meant to change what the meters show, and
# say in the commit what changed and why.
set -eu
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
cd "$(dirname "$0")"
"$tool" --make-test-signal programme.flac --signal-seconds 3 --signal-rate 44100 --signal-channels 2 >/dev/null
"$tool" --make-test-signal mono.flac --signal-seconds 2 --signal-rate 48000 --signal-channels 1 >/dev/null
grep -v '^#' golden-cases.txt | while read -r name signal options; do
  [ -n "$name" ] || continue
  # shellcheck disable=SC2086 # the options are words
  "$tool" "$signal" --format csv --no-progress -o "expected-$name.csv" $options
  echo "expected-$name.csv"
done
