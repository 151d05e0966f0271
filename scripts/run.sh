#!/usr/bin/env bash
# `make run`: start the workbench; without a display, build the sample project instead.
set -euo pipefail
build=${1:-build/dev}
root=$(cd "$(dirname "$0")/.." && pwd)
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x "$build/bin/kelmo" ]]; then
  exec "$build/bin/kelmo"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): building the sample project with kelmoc instead."
"$build/tools/kelmoc/kelmoc" build --hex --lst "$root/examples/hello/hello.tvxPrj" "$root/examples/hello/hello.casm" "$root/examples/hello/sum.casm"
echo "Image: $root/examples/hello/hello.tvxbin (copy for the simulator: hello.Bin)"
