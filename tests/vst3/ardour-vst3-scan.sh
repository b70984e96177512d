#!/usr/bin/env bash
# A real Linux host's VST 3 scanner reads the native bundle: it must accept
# it and record the class. Skipped, with the reason, where the scanner is
# not installed (Debian package "ardour"; too large to install for the
# tests).
# Usage: ardour-vst3-scan.sh BUNDLE SCRATCH_DIR
set -u
bundle=$1 scratch=$2
scanner=$(command -v ardour-vst3-scanner 2>/dev/null || true)
if [ -z "$scanner" ]; then
  for candidate in /usr/lib/ardour*/ardour-vst3-scanner* /usr/lib/*/ardour*/ardour-vst3-scanner*; do
    [ -x "$candidate" ] && { scanner=$candidate; break; }
  done
fi
if [ -z "$scanner" ]; then
  echo "skipped: ardour-vst3-scanner is not installed (Debian package ardour)"
  exit 77
fi
export LD_LIBRARY_PATH=$(dirname "$scanner")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
rm -rf "$scratch" && mkdir -p "$scratch/cache" "$scratch/config" "$scratch/home"
export XDG_CACHE_HOME=$scratch/cache XDG_CONFIG_HOME=$scratch/config HOME=$scratch/home
# The scanner writes what it found into its cache folder.
"$scanner" -f "$bundle" >"$scratch/scan.log" 2>&1
rc=$?
records=$(grep -rl -e 'ZEL Orvane' "$scratch/cache" 2>/dev/null)
if [ "$rc" -ne 0 ] || [ -z "$records" ]; then
  echo "the scanner did not accept $bundle (exit $rc):"; cat "$scratch/scan.log"
  exit 1
fi
echo "accepted by $scanner"
