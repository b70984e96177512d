#!/usr/bin/env bash
# Runs every benchmark of the native build and prints medians of 5 repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
for b in build/native/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
       --benchmark_display_aggregates_only=true "$@" | grep -E 'median|^-|Benchmark' || true
done
