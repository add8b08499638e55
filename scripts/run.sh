#!/usr/bin/env bash
# Builds qel (installing what it needs) and starts it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" fonts-noto-cjk
configure_and_build build
exec "$ROOT/build/qel"
