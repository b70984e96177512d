#!/usr/bin/env bash
# A real Linux host's plug-in scanner reads the native shared object: it
# must accept it and record its editor (an X11 window in the host's). Skipped, with the reason, where the scanner is not
# installed (Debian package "ardour"; too large to install for the tests).
# Usage: ardour-scan.sh PLUGIN SCRATCH_DIR
set -u
plugin=$1 scratch=$2
scanner=$(command -v ardour-vst-scanner 2>/dev/null || true)
if [ -z "$scanner" ]; then
  for candidate in /usr/lib/ardour*/ardour-vst-scanner* /usr/lib/*/ardour*/ardour-vst-scanner*; do
    [ -x "$candidate" ] && { scanner=$candidate; break; }
  done
fi
if [ -z "$scanner" ]; then
  echo "skipped: ardour-vst-scanner is not installed (Debian package ardour)"
  exit 77
fi
# The scanner lives beside Ardour's private libraries, which Ardour's own
# launchers put on the library path first.
export LD_LIBRARY_PATH=$(dirname "$scanner")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
rm -rf "$scratch" && mkdir -p "$scratch/cache" "$scratch/config" "$scratch/home"
export XDG_CACHE_HOME=$scratch/cache XDG_CONFIG_HOME=$scratch/config HOME=$scratch/home
# The scanner writes what it found into its cache folder.
"$scanner" -f "$plugin" >"$scratch/scan.log" 2>&1
rc=$?
records=$(grep -rl --include='*.v2i' --include='*.fsi' -e 'ZEL Orvane' "$scratch/cache" 2>/dev/null)
if [ "$rc" -ne 0 ] || [ -z "$records" ]; then
  echo "the scanner did not accept $plugin (exit $rc):"; cat "$scratch/scan.log"
  exit 1
fi
if ! grep -q 'has_editor="1"' $records; then
  echo "the scanner recorded no editor for the native plug-in:"; cat $records
  exit 1
fi
echo "accepted by $scanner, with its editor"
