#!/usr/bin/env bash
# Runs one test program under conditions a sound kit must not mind and a user's
# machine may give: a TMPDIR whose path holds a folder named in Chinese (as a Chinese
# user's may be named; the kit stores such names in GBK), blanks and a quote, and,
# with --preload, a real-time clock that jumps a second forward at every read
# (tests/jumping_clock).
# It passes when the program passes and leaves nothing in that TMPDIR. The program is
# stopped after a bound, so a hang fails the check instead of holding it. Tests it
# skipped are named with their reasons, and the check ends with 77 (skipped).
#   host_conditions.sh [--bound SECONDS] [--preload LIBRARY] PROGRAM [ARGUMENTS...]
set -uo pipefail

bound=240
preload=
while [[ $# -gt 0 ]]; do
  case "$1" in
    --bound) bound=$2; shift 2 ;;
    --preload) preload=$2; shift 2 ;;
    *) break ;;
  esac
done
if [[ $# -eq 0 ]]; then
  echo "usage: host_conditions.sh [--bound SECONDS] [--preload LIBRARY] PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi

holder=$(mktemp -d "${TMPDIR:-/tmp}/talvo_conditions_XXXXXX") || exit 2
trap 'rm -rf "$holder"' EXIT
tmp="$holder/临时文件/temp files' folder"
# The permission tests act as another user, who must reach their scratch folders.
mkdir -m 755 "$holder/临时文件" "$tmp" && mkdir -m 700 "$holder/runtime" || exit 2
chmod 755 "$holder" || exit 2
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# Without it Qt keeps a folder of its own in TMPDIR.
export XDG_RUNTIME_DIR="$holder/runtime"

TMPDIR="$tmp" LD_PRELOAD="$preload${LD_PRELOAD:+:$LD_PRELOAD}" timeout --kill-after=10 "$bound" "$@" 2>&1 |
  tee "$holder/output"
status=${PIPESTATUS[0]}
if [[ $status -eq 124 || $status -eq 137 ]]; then
  echo "$(basename "$1") ran past ${bound}s"
fi
left=$(ls -A "$tmp")
if [[ -n $left ]]; then
  echo "$(basename "$1") left in TMPDIR:"
  echo "$left"
  [[ $status -eq 0 ]] && status=1
fi
[[ $status -ne 0 ]] && exit "$status"
bash "$(dirname "$0")/skipped_tests.sh" "$holder/output"
