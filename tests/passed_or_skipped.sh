#!/usr/bin/env bash
# Runs one test program and ends with its status, save one case: where it passed and
# skipped tests, it names them with their reasons and ends with 77, which CTest shows as
# skipped (SKIP_RETURN_CODE). A run that failed fails, whatever it skipped.
#
# The skip pattern GoogleTest's discovery gives every entry makes CTest show an entry
# skipped whenever GoogleTest's "[  SKIPPED ]" stands in its output, failed or not, and
# no later property takes it away: what CTest reads has that mark written "[  skipped ]",
# so that the status alone tells. Nothing else of the output changes, so that listing
# the tests works through this too.
#   passed_or_skipped.sh PROGRAM [ARGUMENTS...]
set -uo pipefail

output=$(mktemp "${TMPDIR:-/tmp}/talvo_test_output_XXXXXX") || exit 2
trap 'rm -f "$output"' EXIT
"$@" | tee "$output" | sed -u 's/\[  SKIPPED \]/[  skipped ]/g'
status=${PIPESTATUS[0]}
[[ $status -ne 0 ]] && exit "$status"
bash "$(dirname "$0")/skipped_tests.sh" "$output"
