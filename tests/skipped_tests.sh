#!/usr/bin/env bash
# Tells the tests that GoogleTest skipped in the given outputs of a test program, each
# once with the reason it gave, and exits 77 when there are any (CTest's SKIP_RETURN_CODE
# for the wrappers that run whole programs), else 0: a program that passed while it
# skipped tests has not shown them to pass.
#   skipped_tests.sh OUTPUT...
set -uo pipefail

# GoogleTest gives the reason under "FILE:LINE: Skipped", then "[  SKIPPED ] TEST (N ms)".
skipped=$(awk '/: Skipped$/                           { getline reason }
               /^\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)$/ { print "  " $4 ": " reason; reason = "" }' "$@" | sort -u)
# The count line stands even where the names are not shown (--gtest_brief).
grep -q '^\[  SKIPPED \] [0-9]' "$@" || exit 0
echo "skipped, each for the reason given:"
echo "${skipped:-  (the output names none of them)}"
exit 77
