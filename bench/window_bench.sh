#!/usr/bin/env bash
# Runs qel-window-bench on a virtual X server of its own: the real window,
# clicked through XTEST, timed from each click to its end caption.
#   bash bench/window_bench.sh [--runs N] [--qel PATH]    (QEL_BUILD=dir: another build folder)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BENCH_PACKAGES[@]}"
BUILD="${QEL_BUILD:-$ROOT/build}"
[ -x "$BUILD/qel-window-bench" ] || cmake -S "$ROOT" -B "$BUILD" >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target qel qel-window-bench >/dev/null
exec xvfb-run -a -s '-screen 0 1280x1024x24' "$BUILD/qel-window-bench" "$@"
