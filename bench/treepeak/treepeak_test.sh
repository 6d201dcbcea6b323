#!/usr/bin/env bash
# treepeak must add up the memory of every process in the tree and pass the command's exit
# status on. Each holder keeps at least 64 MB for half a second, long enough for many samples.
set -euo pipefail
treepeak="${1:?usage: treepeak_test.sh TREEPEAK}"
work="$(mktemp -d "${TMPDIR:-/tmp}/treepeak-test.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The Perl program is meant literally.
# shellcheck disable=SC2016
hold='$x = "a" x (64 << 20); select(undef, undef, undef, 0.5)'
fail() { echo "FAIL: $*" >&2; exit 1; }

"$treepeak" -o "$work/one" -- perl -e "$hold"
one=$(<"$work/one")
((one >= 64 * 1024)) || fail "one holder measured $one KB, expected at least 65536"

# Two holders under a shell: about twice one, the sum rather than the largest process.
"$treepeak" -o "$work/two" -- sh -c "perl -e '$hold' & perl -e '$hold' & wait"
two=$(<"$work/two")
((2 * two >= 3 * one)) || fail "two holders measured $two KB, one $one KB: not summed"

status=0
"$treepeak" -o "$work/x" -- sh -c 'exit 7' || status=$?
((status == 7)) || fail "exit status $status, expected 7"

status=0
"$treepeak" -o "$work/x" -- sh -c 'kill -TERM $$' || status=$?
((status == 128 + 15)) || fail "a command ended by SIGTERM gave $status, expected 143"

status=0
"$treepeak" -o "$work/x" -- "$work/no-such-program" 2>/dev/null || status=$?
((status == 127)) || fail "a missing program gave $status, expected 127"

status=0
"$treepeak" 2>/dev/null || status=$?
((status == 2)) || fail "no command gave $status, expected 2"

echo "ok: one holder $one KB, two holders $two KB"
