#!/usr/bin/env bash
# A fuzzing campaign: each target runs SECONDS from its corpus, at most JOBS at a time,
# and goes on past findings; then its corpus is merged down to the inputs that add
# coverage. Build the fuzz preset first.
#   fuzz/campaign.sh SECONDS JOBS [TARGET...]      (default: every built target)
# Under work/fuzz/: <target>.log (the last "#N: cov: ... ft: ..." line is the result),
# <target>/findings/ (crash-*, timeout-*: inputs that broke a property, crashed or hung).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/fuzz/fuzz"
seconds=${1:?usage: campaign.sh SECONDS JOBS [TARGET...]}
jobs=${2:?usage: campaign.sh SECONDS JOBS [TARGET...]}
shift 2
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for program in "$bin"/fuzz_*; do targets+=("${program##*/fuzz_}"); done
fi
work="$root/work/fuzz"
mkdir -p "$work"
# Targets that replace files for every input run faster with their scratch in memory.
export TMPDIR=${TMPDIR:-/dev/shm}

run_target() {
  local name=$1 dict=()
  [[ -f "$root/fuzz/dict/$name.dict" ]] && dict=(-dict="$root/fuzz/dict/$name.dict")
  rm -rf "$work/$name"
  mkdir -p "$work/$name/new" "$work/$name/findings"
  local seeds=("$root/fuzz/corpus/$name")
  [[ -d "$root/fuzz/regressions/$name" ]] && seeds+=("$root/fuzz/regressions/$name")
  "$bin/fuzz_$name" "${dict[@]}" -max_total_time="$seconds" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
    -ignore_ooms=1 -timeout=30 -artifact_prefix="$work/$name/findings/" \
    "$work/$name/new" "${seeds[@]}" >"$work/$name.log" 2>&1 || true
  # The inputs of the old corpus and the new ones that add coverage, and no others.
  mkdir -p "$work/$name/merged"
  "$bin/fuzz_$name" -merge=1 -timeout=30 "$work/$name/merged" "$root/fuzz/corpus/$name" "$work/$name/new" \
    >"$work/$name.merge.log" 2>&1
  rm -rf "$root/fuzz/corpus/$name"
  mv "$work/$name/merged" "$root/fuzz/corpus/$name"
  echo "$name: $(grep -E '^#[0-9]+: cov' "$work/$name.log" | tail -1)"
  echo "$name: findings: $(ls "$work/$name/findings" | wc -l), corpus: $(ls "$root/fuzz/corpus/$name" | wc -l) inputs"
}

running=0
for name in "${targets[@]}"; do
  run_target "$name" &
  running=$((running + 1))
  if [[ $running -ge $jobs ]]; then
    wait -n
    running=$((running - 1))
  fi
done
wait
