#!/usr/bin/env bash
# Instructions per stereo frame that one instance of a plug-in costs through
# its processReplacing, counted by callgrind (figures that do not move with
# the machine's load): 48 kHz, 256-frame blocks, one setting of orvane-host.
#   scripts/count-instructions.sh HOST PLUGIN [default|precise|strip|rms|ppm]
set -euo pipefail
host=$1 plugin=$2 setting=${3:-default}
command -v valgrind >/dev/null || { echo "count-instructions: valgrind is not installed" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# One batch: 20 warm-up rounds, then 500 rounds of 256 frames.
valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='vsthost::InstanceRack::round()' \
  "$host" --instances 1 --rounds 1 --block 256 --setting "$setting" "$plugin" >/dev/null 2>&1
total=$(sed -n 's/^totals: *\([0-9]*\).*/\1/p' "$out")
echo "$setting: $(awk -v t="$total" 'BEGIN { printf "%.1f", t / (520 * 256) }') instructions per stereo frame"
