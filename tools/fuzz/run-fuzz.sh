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
  for ((seed = first; seed < first + count; seed++)); do
    out=$(cd "$dir/plugin" && XDG_CONFIG_HOME="$dir/tools/fuzz/xdg-config" \
          nice -n 19 "${run[@]}" "--plugin=$plugin" "--seed=$seed" "--steps=$steps" ${FUZZ_SECONDS:+"--seconds=$FUZZ_SECONDS"} 2>&1)
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
echo "fuzz: $total steps without failure in $(( $(date +%s) - start )) s"
exit $status
