#!/usr/bin/env bash
# qel installed into a scratch folder as a user installs it, and run from
# there: every file lands where the desktop looks for it, and the installed
# qel answers --version and --help without a display and finds its manual.
set -u
BUILD="$1" VERSION="$2" APP_ID="$3"
PREFIX="$(mktemp -d)"
trap 'rm -rf "$PREFIX"' EXIT
source "$(dirname "$0")/checks.sh"

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
for file in bin/qel bin/qel-render share/qel/readme.txt share/applications/$APP_ID.desktop \
    share/icons/hicolor/scalable/apps/$APP_ID.svg share/metainfo/$APP_ID.metainfo.xml \
    share/man/man1/qel.1.gz share/man/man1/qel-render.1.gz share/man/ja/man1/qel.1.gz \
    share/man/ja/man1/qel-render.1.gz share/doc/qel/copyright share/doc/qel/changelog.gz; do
    check "$file is installed" test -s "$PREFIX/$file"
done
check "the manual is installed as it is" cmp -s "$PREFIX/share/qel/readme.txt" "$BUILD/readme.txt"

# The man pages: groff finds nothing to warn about (in Japanese with its
# Japanese line breaking, as man does for pages under ja/), and the
# Japanese pages keep the English pages' sections and option entries, in
# the same order.
groff_is_silent() { # page, groff options...
    local page="$1"; shift
    [ -z "$(zcat "$page" | LC_ALL=C.UTF-8 groff -k -man "$@" -Tutf8 -ww -z 2>&1)" ]
}
options_of() { # page: the option each .TP entry describes, in order
    zcat "$1" | awk 'previous == ".TP" && /^\.B[IR]? \\-\\-/ { print $2 } { previous = $0 }'
}
same_entries() { # English page, Japanese page
    [ -n "$(options_of "$1")" ] && [ "$(options_of "$1")" = "$(options_of "$2")" ] &&
        [ "$(zcat "$1" | grep -c '^\.SH')" = "$(zcat "$2" | grep -c '^\.SH')" ]
}
for page in qel qel-render; do
    english="$PREFIX/share/man/man1/$page.1.gz" japanese="$PREFIX/share/man/ja/man1/$page.1.gz"
    check "groff has no warning for $page(1)" groff_is_silent "$english"
    check "groff has no warning for the Japanese $page(1)" groff_is_silent "$japanese" -mja
    check "the Japanese $page(1) is UTF-8 and says the version" \
        bash -c 'zcat "$1" | iconv -f UTF-8 -t UTF-8 >/dev/null && zcat "$1" | grep -q "^\.TH .*\"qel $2\""' \
        _ "$japanese" "$VERSION"
    check "the Japanese $page(1) has the English page's sections and options" same_entries "$english" "$japanese"
done
check "the changelog's latest entry is this version" \
    bash -c 'zcat "$1" | head -1 | grep -q "^qel ($2) "' _ "$PREFIX/share/doc/qel/changelog.gz" "$VERSION"

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
