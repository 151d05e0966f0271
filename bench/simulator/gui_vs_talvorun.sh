#!/usr/bin/env bash
# The GUI speed figure: the simulator's main window runs bench/simulator/count_loop.casm
# (built by kelmoc) from start to its end, and talvorun runs the same image on the same
# 64 MB machine; alternating runs, the best of each. Prints both and the GUI's speed as a
# ratio of talvorun's. Without a display it starts a virtual one (Xvfb) for the run.
#
#   bench/simulator/gui_vs_talvorun.sh [BUILD [RUNS]]    (default build/release, 3 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
runs=${2:-3}
[[ "$build" = /* ]] || build="$root/$build"

work=$(mktemp -d)
xvfb=
cleanup() {
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cp "$root/bench/simulator/count_loop.casm" "$work/"
printf 'count_loop.casm\r\n' >"$work/count_loop.tvxPrj"
(cd "$work" && "$build/tools/kelmoc/kelmoc" build count_loop.tvxPrj count_loop.casm >/dev/null)
image="$work/count_loop.Bin"

if [[ -z "${DISPLAY:-}" ]]; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
  [[ -s "$work/display" ]] || { echo "gui_vs_talvorun: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat "$work/display")"
fi

seconds_of() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best_cli=
best_gui=
for _ in $(seq "$runs"); do
  start=$(date +%s.%N)
  "$build/tools/talvorun/talvorun" --mem-mb 64 --steps 100000000000 "$image" >"$work/talvorun.txt"
  cli=$(seconds_of "$start" "$(date +%s.%N)")
  (cd "$work" && "$build/bench/simulator/bench_gui_run" "$image") >"$work/gui.txt" 2>/dev/null
  gui=$(awk '/^seconds/ { print $2 }' "$work/gui.txt")
  best_cli=$(awk -v a="$cli" -v b="${best_cli:-$cli}" 'BEGIN { print (a < b ? a : b) }')
  best_gui=$(awk -v a="$gui" -v b="${best_gui:-$gui}" 'BEGIN { print (a < b ? a : b) }')
done
steps=$(awk '/^steps/ { print $2 }' "$work/talvorun.txt")
echo "image: count_loop ($steps instructions), best of $runs alternating runs"
awk -v s="$steps" -v t="$best_cli" 'BEGIN { printf "talvorun      %7.3f s  %7.1f M instructions/s\n", t, s / t / 1e6 }'
awk -v s="$steps" -v t="$best_gui" 'BEGIN { printf "TALVOSim GUI  %7.3f s  %7.1f M instructions/s\n", t, s / t / 1e6 }'
grep '^status' "$work/gui.txt"
awk -v c="$best_cli" -v g="$best_gui" 'BEGIN { printf "GUI / talvorun: %.2fx\n", c / g }'
