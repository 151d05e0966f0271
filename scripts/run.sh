#!/usr/bin/env bash
# `make run`: build the examples into run/, then start the simulator there and the
# workbench; without a display, build the sample project and run the screen example
# headless instead. Every output lands under run/: examples/ stays as checked in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/release}
[[ "$build" = /* ]] || build="$root/$build"
kelmoc="$build/tools/kelmoc/kelmoc"

# The simulator reads TALVOSim.setting from its working folder: run/ holds it and the
# examples' copies with their images.
rundir="$root/run"
copy_example() {
  mkdir -p "$rundir/$1"
  cp "$root/examples/$1/"*.casm "$root/examples/$1/$1.tvxPrj" "$rundir/$1/"
}
copy_example screen
"$kelmoc" build --lst "$rundir/screen/screen.tvxPrj" "$rundir/screen/main.casm"
copy_example interrupts && "$kelmoc" project "$rundir/interrupts/interrupts.tvxPrj"
image="$rundir/screen/screen.Bin"
# A setting the user saved from the simulator is kept. Lines end in CR CR LF.
if [[ ! -f "$rundir/TALVOSim.setting" ]]; then
  printf '64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\n%s\r\r\n' "$image" >"$rundir/TALVOSim.setting"
fi

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  if [[ -x "$build/bin/TALVOSim" ]]; then
    echo "TALVOSim: choose 从头运行 (run from start), then press keys over the screen."
    (cd "$rundir" && "$build/bin/TALVOSim" &)
  fi
  if [[ -x "$build/bin/kelmo" ]]; then
    exec "$build/bin/kelmo"
  fi
  wait
  exit 0
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): building the sample project with kelmoc"
echo "and running the screen example with talvorun instead."
copy_example hello
"$kelmoc" build --hex --lst "$rundir/hello/hello.tvxPrj" "$rundir/hello/main.casm" "$rundir/hello/sum.casm"
echo "Image: $rundir/hello/hello.tvxbin (copy for the simulator: hello.Bin)"
"$build/tools/talvorun/talvorun" --steps 100000 "$image"
