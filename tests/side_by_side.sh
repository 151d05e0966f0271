#!/usr/bin/env bash
# Runs one test program twice at the same time, as two CI jobs or a hook and a
# developer would, and passes only when both copies pass. Each copy is stopped after
# a bound, so a hanging test fails the check instead of holding it. Tests the copies
# skipped are named with their reasons, and the check ends with 77 (skipped).
#   side_by_side.sh [--rounds N] [--bound SECONDS] PROGRAM [ARGUMENTS...]
# With several rounds it prints how many of the copies failed.
set -uo pipefail

rounds=1
bound=240
while [[ $# -gt 0 ]]; do
  case "$1" in
    --rounds) rounds=$2; shift 2 ;;
    --bound) bound=$2; shift 2 ;;
    *) break ;;
  esac
done
if [[ $# -eq 0 ]]; then
  echo "usage: side_by_side.sh [--rounds N] [--bound SECONDS] PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi

logs=$(mktemp -d "${TMPDIR:-/tmp}/talvo_side_by_side_XXXXXX")
trap 'rm -rf "$logs"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

failed=0
for ((round = 1; round <= rounds; ++round)); do
  timeout --kill-after=10 "$bound" "$@" >"$logs/a" 2>&1 &
  first=$!
  timeout --kill-after=10 "$bound" "$@" >"$logs/b" 2>&1 &
  second=$!
  for copy in a b; do
    if [[ $copy = a ]]; then pid=$first; else pid=$second; fi
    wait "$pid"
    status=$?
    if [[ $status -ne 0 ]]; then
      failed=$((failed + 1))
      [[ $status -eq 124 || $status -eq 137 ]] && echo "copy $copy of round $round ran past ${bound}s"
      echo "copy $copy of round $round failed (exit $status):"
      grep -E '^\[  FAILED  \]|Failure|error' "$logs/$copy" | head -40
    fi
  done
done
echo "$(basename "$1"): $failed of $((2 * rounds)) copies failed"
[[ $failed -eq 0 ]] || exit 1
bash "$(dirname "$0")/skipped_tests.sh" "$logs/a" "$logs/b"
