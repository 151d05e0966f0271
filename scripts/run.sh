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
# The simulator reads the names in its settings as GBK, from run/, where it starts: the
# image is named relative to run/, so no folder above it (学生, Straße, or one with no
# GBK form) has to be written at all. Lines end in CR CR LF.
setting() {
  printf '64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\n%s\r\r\n' "$1"
}
# A setting the user saved from the simulator is kept; one this script once wrote with
# the image's absolute name in UTF-8, which the simulator cannot read back under a
# folder named in Chinese, is written anew.
if [[ ! -f "$rundir/TALVOSim.setting" ]] || cmp -s "$rundir/TALVOSim.setting" <(setting "$image"); then
  # Swapped in whole: a simulator reading it meanwhile finds the old file or the new.
  setting screen/screen.Bin >"$rundir/.TALVOSim.setting.new"
  mv -f "$rundir/.TALVOSim.setting.new" "$rundir/TALVOSim.setting"
fi

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  if [[ -x "$build/bin/TALVOSim" ]]; then
    echo "TALVOSim: choose 从头运行 (run from start), then press keys over the screen."
    (cd "$rundir" && "$build/bin/TALVOSim" &)
  fi
  # Started in run/, the workbench starts the simulator from its Tools menu there too,
  # where the settings and the images are.
  if [[ -x "$build/bin/kelmo" ]]; then
    cd "$rundir" && exec "$build/bin/kelmo"
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
