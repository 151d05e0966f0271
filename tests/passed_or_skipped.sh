#!/usr/bin/env bash
# Runs one test program and ends with its status, save that a run that passed and
# skipped tests names them with their reasons and ends with 77, which CTest shows as
# skipped (SKIP_RETURN_CODE). What CTest reads has GoogleTest's "[  SKIPPED ]" written
# "[  skipped ]": the skip pattern of discovered entries would show any entry whose
# output holds that mark as skipped, failed or not. Listing the tests works through this.
#   passed_or_skipped.sh PROGRAM [ARGUMENTS...]
set -uo pipefail

output=$(mktemp "${TMPDIR:-/tmp}/talvo_test_output_XXXXXX") || exit 2
trap 'rm -f "$output"' EXIT
"$@" | tee "$output" | sed -u 's/\[  SKIPPED \]/[  skipped ]/g'
status=${PIPESTATUS[0]}
[[ $status -ne 0 ]] && exit "$status"
bash "$(dirname "$0")/skipped_tests.sh" "$output"
