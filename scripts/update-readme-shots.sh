#!/usr/bin/env bash
# Regenerates README.md's "What you see" pictures: runs the end-to-end
# scenario through the 64-bit DLL under Wine (it writes its screenshots into
# its build folder) and copies the ones the README shows into docs/.
#   scripts/update-readme-shots.sh [BUILD_DIR]   (default build/win64)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win64}
cmake --build "$build" --target scenario_tests orvane_plugin
ctest --test-dir "$build" -R '^scenario_tests$' --output-on-failure
shots=$build/tests/scenario
for pair in vu-playing:scenario-vu rms-playing:scenario-rms ppm-playing:scenario-ppm \
            ppm-back-panel:scenario-back-panel 1-before-closing:scenario-full-height; do
  cp "$shots/scenario-${pair%%:*}.png" "docs/${pair##*:}.png"
done
echo "docs/scenario-*.png updated from $shots"
