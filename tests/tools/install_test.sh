#!/usr/bin/env bash
# qel installed into a scratch folder as a user installs it, and run from
# there: every file lands where the desktop looks for it, and the installed
# qel answers --version and --help without a display and finds its manual.
set -u
BUILD="$1" VERSION="$2" APP_ID="$3"
PREFIX="$(mktemp -d)"
trap 'rm -rf "$PREFIX"' EXIT
source "$(dirname "$0")/checks.sh"
# No display at all: a qel that opened a window would fail here.
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
contains() { # text, part
    [[ "$1" == *"$2"* ]]
}

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
for file in bin/qel bin/qel-render share/qel/readme.txt share/applications/$APP_ID.desktop \
    share/icons/hicolor/scalable/apps/$APP_ID.svg share/metainfo/$APP_ID.metainfo.xml \
    share/man/man1/qel.1 share/man/man1/qel-render.1; do
    check "$file is installed" test -s "$PREFIX/$file"
done
check "the manual is installed as it is" cmp -s "$PREFIX/share/qel/readme.txt" "$BUILD/readme.txt"

check "qel --version prints the version" test "$(headless "$PREFIX/bin/qel" --version)" = "qel $VERSION"
check "qel --help names the installed manual" \
    contains "$(headless "$PREFIX/bin/qel" --help)" "$PREFIX/share/qel/readme.txt"
cp "$PREFIX/share/qel/readme.txt" "$PREFIX/bin/readme.txt"
check "a manual beside the program comes first" contains "$(headless "$PREFIX/bin/qel" --help)" "$PREFIX/bin/readme.txt"
rm "$PREFIX/bin/readme.txt" "$PREFIX/share/qel/readme.txt"
help="$(headless "$PREFIX/bin/qel" --help)"
check "qel --help says where a missing manual was looked for" \
    contains "$help" "missing; qel looks for it in:"$'\n'"  $PREFIX/bin/"$'\n'"  $PREFIX/bin/../share/qel/"

headless "$PREFIX/bin/qel-render" --out "$PREFIX/start.bmp"
check "the installed qel-render draws" test "$(stat -c %s "$PREFIX/start.bmp")" -eq $((54 + 800 * 600 * 3))

checks_done
