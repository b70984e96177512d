#!/bin/sh
# One golden test: runs orvane-meter on a committed signal and compares its
# CSV with the stored expectation (tolerances in CompareCsv.cpp).
#   run_golden.sh TOOL COMPARE DATA_DIR NAME SIGNAL [OPTIONS...]
set -eu
tool=$1 compare=$2 data=$3 name=$4 signal=$5
shift 5
out=$(mktemp "${TMPDIR:-/tmp}/orvane-golden-$name.XXXXXX")
trap 'rm -f "$out"' EXIT
"$tool" "$data/$signal" --format csv --no-progress -o "$out" "$@"
"$compare" "$data/expected-$name.csv" "$out"
