#!/bin/sh
# The built tool refuses bad input as a person sees it: the exit status, one
# line on standard error, nothing on standard output, no output file.
#   cli_fails.sh TOOL STATUS TEXT [ARGS...]
set -u
tool=$1 want=$2 text=$3
shift 3
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvane-cli.XXXXXX")
trap 'rm -rf "$dir"' EXIT
"$tool" "$@" -o "$dir/out.txt" >"$dir/stdout" 2>"$dir/stderr"
status=$?
fail() { echo "$1"; cat "$dir/stderr"; exit 1; }
[ "$status" = "$want" ] || fail "exit status $status, expected $want"
[ "$(wc -l <"$dir/stderr")" = 1 ] || fail "standard error is not one line:"
grep -qF -- "$text" "$dir/stderr" || fail "standard error does not say '$text':"
[ ! -s "$dir/stdout" ] || fail "standard output is not empty"
[ "$(ls -A "$dir" | tr '\n' ' ')" = "stderr stdout " ] || fail "left behind: $(ls -A "$dir")"
echo "refused as expected: $(cat "$dir/stderr")"
