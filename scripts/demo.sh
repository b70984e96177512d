#!/usr/bin/env bash
# The main job: show the meters at work. Meters a programme with each meter
# through orvane-meter (the effect's own code, run offline), writes tables,
# CSVs and pictures under build/demo/, then loads each of the three plug-in
# binaries in the test host (the DLLs under Wine) and prints what they say.
#
#   make demo                    a synthesised test programme
#   make demo AUDIO=song.flac    your own file (WAV, AIFF, FLAC, Ogg)
#   scripts/demo.sh song.flac    the same, once the builds exist
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The three build folders (others can be named for a trial run).
native=${ORVANE_NATIVE_BUILD:-build/native}
win64=${ORVANE_WIN64_BUILD:-build/win64}
win32=${ORVANE_WIN32_BUILD:-build/win32}
tool=$native/tools/orvane-meter/orvane-meter
out=${ORVANE_DEMO_OUT:-build/demo}
audio=${1:-${AUDIO:-}}
if [ ! -x "$tool" ]; then
  echo "demo: $tool is missing; run 'make demo' to build it" >&2
  exit 1
fi
mkdir -p "$out"

echo "=== Metering"
if [ -z "$audio" ]; then
  audio=$out/test-programme.wav
  "$tool" --make-test-signal "$audio" | sed 's/^/  /'
fi

# name, then the options of that run. The precise PPM finds the peaks
# between the samples; one over sample lights its LED, since such peaks come
# between every other pair of samples.
runs=(
  "vu|--meter vu --hold on"
  "ppm|--meter ppm --hold on"
  "ppm-precise|--meter ppm --hold on --precise --over-count 1"
  "rms|--meter rms --hold on"
)
for run in "${runs[@]}"; do
  name=${run%%|*}
  read -r -a options <<<"${run#*|}"
  "$tool" "$audio" "${options[@]}" -o "$out/$name.txt" --plot "$out/$name.png"
  "$tool" "$audio" "${options[@]}" --no-progress --format csv -o "$out/$name.csv"
  echo
  echo "--- $name (${options[*]}): $out/$name.txt, $out/$name.csv, $out/$name.png"
  sed -n '/^summary/,$p' "$out/$name.txt" | sed 's/^/  /'
done
echo
echo "Tables, CSVs and pictures are in $out/ (open the .png files to see the ballistics)."
echo

echo "=== The plug-in binaries in the test host"
host() {
  local build=$1 host=$2 plugin=$3
  echo "--- $plugin"
  if [ "$build" = "$native" ]; then
    XDG_CONFIG_HOME="$PWD/$native/demo-config" "$native/tools/vsthost/$host" "$native/plugin/$plugin"
  else
    (cd "$build/plugin" && ORVANE_WINE_BUILD_DIR="$PWD/.." "$OLDPWD/cmake/wine-run.sh" "../tools/vsthost/$host" "$plugin")
  fi | grep -E '^(effect|record|audio|close) ' | sed 's/^/  /'
}
host "$native" orvane-host "ZEL Orvane.so"
host "$win64" orvane-host.exe "ZEL Orvane_x64.dll"
# The 32-bit DLL needs a machine that runs 32-bit programs (natively or under
# the emulation the installer sets up where the kernel cannot).
if why=$(scripts/win32-support.sh probe); then
  [ "$why" = emulated ] && echo "(32-bit programs run under emulation here: the next one takes a few minutes the first time)"
  host "$win32" orvane-host.exe "ZEL Orvane.dll"
else
  echo "--- ZEL Orvane.dll: skipped ($why)"
fi
