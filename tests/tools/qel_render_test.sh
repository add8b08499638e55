#!/usr/bin/env bash
# qel-render from the command line: refusals, names that round-trip, and the
# fast engine drawing the literal iteration's pixels.
set -u
TOOL="$1"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
source "$(dirname "$0")/checks.sh"
refused() { # args... : exit status 2, one line on stderr, nothing written
    "$TOOL" "$@" 2>"$DIR/err" >/dev/null
    local status=$?
    [ "$status" -eq 2 ] && [ "$(wc -l <"$DIR/err")" -eq 1 ] && [ ! -e "$DIR/bad.bmp" ]
}

check "a method beyond 4 is refused" refused --method 5 --out "$DIR/bad.bmp"
check "a magnification below 0.1 is refused" refused --mag 0.05 --out "$DIR/bad.bmp"
check "a fractional iteration count is refused" refused --maxiter 2.5 --out "$DIR/bad.bmp"
check "a missing value is refused" refused --cx
check "a missing --out is refused" refused --mag 2
check "a constant without the Julia set is refused" refused --jre 0.1 --jim 0 --out "$DIR/bad.bmp"
check "a name without a view is refused" refused --name photo.bmp --out "$DIR/bad.bmp"

for name in M0s1x0y0k500t1.bmp M1s8x-0p75y0p1k1000t1.bmp J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp; do
    "$TOOL" --name "$name" --out "$DIR/" >/dev/null 2>&1
    check "$name comes back under its own name" test -s "$DIR/$name"
done
check "the visible picture is 800 x 600 at 24 bits" test "$(stat -c %s "$DIR/M0s1x0y0k500t1.bmp")" -eq $((54 + 800 * 600 * 3))

"$TOOL" --out "$DIR/engine.bmp" --surface --method 2 --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --t 2.5
"$TOOL" --out "$DIR/reference.bmp" --surface --method 2 --cx -0.75 --cy 0.1 --mag 8 --maxiter 300 --t 2.5 --reference
check "the whole surface is 1600 x 1200" test "$(stat -c %s "$DIR/engine.bmp")" -eq $((54 + 1600 * 1200 * 3))
check "the engine draws the literal iteration's pixels" cmp -s "$DIR/engine.bmp" "$DIR/reference.bmp"
"$TOOL" --out "$DIR/start.bmp"
check "the defaults draw the start view" cmp -s "$DIR/start.bmp" "$DIR/M0s1x0y0k500t1.bmp"

checks_done
