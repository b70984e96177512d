#!/usr/bin/env bash
# Long fuzz runs (make fuzz): seed after seed through each plug-in binary
# given, niced so that builds on the same machine keep going. Prints one
# line per run and, for a failure or a crash, the seed that replays it.
#   run-fuzz.sh STEPS FIRST_SEED SEEDS BUILD_DIR...
# FUZZ_SECONDS, when set, also ends each run after that many seconds.
# A build folder whose name ends in win64 or win32 runs its fuzzer under
# Wine (cmake/wine-run.sh); any other is native.
set -u
steps=$1 first=$2 count=$3; shift 3
here=$(cd "$(dirname "$0")/../.." && pwd)
status=0 total=0 start=$(date +%s)
for dir in "$@"; do
  dir=$(cd "$dir" && pwd)
  case "$dir" in
    *win64|*win32) run=("$here/cmake/wine-run.sh" "$dir/tools/fuzz/orvane-fuzz.exe")
                   plugin=$(cd "$dir/plugin" && ls ./*.dll | head -n 1) ;;
    *)             run=("$dir/tools/fuzz/orvane-fuzz"); plugin="./ZEL Orvane.so" ;;
  esac
  if [ ! -e "${run[-1]}" ]; then
    echo "fuzz: ${run[-1]} is not built" >&2; status=1; continue
  fi
  mkdir -p "$dir/tools/fuzz/xdg-config"
  # The VST 3 binary of the same build, through the VST 3 test host.
  case "$dir" in
    *win64|*win32) run3=("$here/cmake/wine-run.sh" "$dir/tools/orvane-vst3-host/orvane-vst3-host.exe")
                   plugin3=$(cd "$dir/plugin" && ls ./"ZEL Orvane.vst3"/Contents/*-win/*.vst3 | head -n 1) ;;
    *)             run3=("$dir/tools/orvane-vst3-host/orvane-vst3-host")
                   plugin3="./ZEL Orvane.vst3/Contents/x86_64-linux/ZEL Orvane.so" ;;
  esac
  for ((seed = first; seed < first + count; seed++)); do
   for which in vst2 vst3; do
    if [ "$which" = vst3 ]; then
      [ -e "${run3[-1]}" ] || { echo "fuzz: ${run3[-1]} is not built" >&2; status=1; continue; }
      out=$(cd "$dir/plugin" && XDG_CONFIG_HOME="$dir/tools/fuzz/xdg-config" \
            nice -n 19 "${run3[@]}" "--plugin=$plugin3" "--seed=$seed" "--steps=$steps" ${FUZZ_SECONDS:+"--seconds=$FUZZ_SECONDS"} 2>&1)
    else
      out=$(cd "$dir/plugin" && XDG_CONFIG_HOME="$dir/tools/fuzz/xdg-config" \
            nice -n 19 "${run[@]}" "--plugin=$plugin" "--seed=$seed" "--steps=$steps" ${FUZZ_SECONDS:+"--seconds=$FUZZ_SECONDS"} 2>&1)
    fi
    rc=$?
    echo "$(basename "$dir"): ${out##*$'\n'}"
    if [ "$rc" -ne 0 ]; then
      status=1
      grep -q -- "--seed=" <<<"$out" || echo "$(basename "$dir"): FAILED (exit $rc) with --seed=$seed"
      echo "$out" | tail -n 30
    else
      done_steps=$(sed -nE 's/.*, ([0-9]+) steps, no failure.*/\1/p' <<<"$out" | tail -n 1)
      total=$((total + ${done_steps:-0}))
    fi
   done
  done
done
echo "fuzz: $total steps without failure in $(( $(date +%s) - start )) s"
exit $status
