#!/usr/bin/env bash
# Runs ctest in each build folder given and ends with one line that sums up
# all of them, so a reader (or CI) sees the whole result in the last line.
set -u
passed=0; failed=0; status=0
for dir in "$@"; do
  echo "== tests in $dir"
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure -j "${JOBS:-$(nproc)}" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "run-tests: no test ran in $dir" >&2
    status=1; continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
  [ "$rc" -ne 0 ] && status=1
done
echo "total: $passed passed, $failed failed"
exit $status
