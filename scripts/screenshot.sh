#!/usr/bin/env bash
# Takes the README's screenshot from the real program: the start view with
# the menu open, on a virtual X screen, with the Japanese font the program
# needs, reduced to 256 colours.
#
#   bash scripts/screenshot.sh [OUT.png]    # default docs/screenshot.png
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="$(realpath -m "${1:-$ROOT/docs/screenshot.png}")"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" fonts-noto-cjk xvfb xdotool imagemagick
configure_and_build build

SHOT="$(mktemp --suffix=.png)"
trap 'rm -f "$SHOT"' EXIT
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
    "$1" & qel=$!
    sleep 3                                   # the first drawing
    xdotool mousemove 470 330 click 3         # the menu
    sleep 1
    import -window root -crop 800x600+0+0 "$2"
    kill "$qel"' shot "$ROOT/build/qel" "$SHOT"
convert "$SHOT" +dither -colors 256 "PNG8:$OUT"
echo "wrote $OUT"
