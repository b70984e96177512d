#!/usr/bin/env bash
# Regenerates docs/ballistics.md, its figures (docs/ballistics-figures.txt,
# which the test ballistics_page_current measures again) and its pictures
# (docs/ballistics-*.png) from the engines, through orvane-ballistics.
# Run it after any change to the meters' ballistics and review the diff.
#   scripts/update-ballistics.sh [BUILD_DIR]   (default build/native)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target orvane-ballistics
"$build/tools/meter-report/orvane-ballistics" --write docs
echo "docs/ballistics.md, docs/ballistics-figures.txt and docs/ballistics-*.png written"
