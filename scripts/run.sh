#!/usr/bin/env bash
# `make run`: until the programs have windows, build the sample project and say where its image went.
set -euo pipefail
build=${1:-build/dev}
root=$(cd "$(dirname "$0")/.." && pwd)
"$build/tools/kelmoc/kelmoc" build --hex --lst "$root/examples/hello/hello.tvxPrj" "$root/examples/hello/hello.casm" "$root/examples/hello/sum.casm"
echo "Image: $root/examples/hello/hello.tvxbin (copy for the simulator: hello.Bin)"
