#!/usr/bin/env bash
# The Debian package, made from the built tree as scripts/package.sh makes
# it, in a scratch folder: it holds everything an install holds under /usr
# and nothing else, its programs are stripped, its dependencies name the
# package of every library its programs load, and the programs run from the
# unpacked package and find the manual there.
set -u
BUILD="$1" VERSION="$2" APP_ID="$3"
SCRATCH="$(mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/checks.sh"

if ! cpack --config "$BUILD/CPackConfig.cmake" -B "$SCRATCH" >"$SCRATCH/cpack.log" 2>&1; then
    cat "$SCRATCH/cpack.log"
    exit 1
fi
deb="$SCRATCH/qel_${VERSION}_$(dpkg --print-architecture).deb"
check "the package is named by its version and architecture" test -s "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
check "the package is qel of this version" test "$(field Package) $(field Version)" = "qel $VERSION"

listing="$(dpkg-deb -c "$deb")"
paths="$(awk '{ print $6 }' <<<"$listing")"
for file in bin/qel bin/qel-render share/qel/readme.txt share/applications/$APP_ID.desktop \
    share/icons/hicolor/scalable/apps/$APP_ID.svg share/metainfo/$APP_ID.metainfo.xml \
    share/man/man1/qel.1.gz share/man/man1/qel-render.1.gz share/man/ja/man1/qel.1.gz \
    share/man/ja/man1/qel-render.1.gz share/doc/qel/copyright share/doc/qel/changelog.gz; do
    check "the package holds /usr/$file" grep -qx "\./usr/$file" <<<"$paths"
done
check "the package holds nothing outside /usr" test -z "$(grep -vE '^\./(usr/.*)?$' <<<"$paths")"
check "every file is root's" test -z "$(awk '$2 != "root/root"' <<<"$listing")"
check "the package has its files' checksums" grep -qx "./md5sums" <<<"$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)"

dpkg-deb -x "$deb" "$SCRATCH/root"
bin="$SCRATCH/root/usr/bin"
# The package that holds a library file (a merged /usr registers some under
# /lib, some under /usr/lib).
package_of() {
    local real package; real="$(readlink -f "$1")"
    for path in "$1" "/usr$1" "$real" "${real#/usr}"; do
        package="$(dpkg-query -S "$path" 2>/dev/null | head -1 | cut -d: -f1)"
        [ -n "$package" ] && echo "$package" && return
    done
}
depends_on() { # package
    local entry
    [ -n "$1" ] || return 1
    while read -r entry; do [ "${entry%% *}" = "$1" ] && return 0; done < <(field Depends | sed 's/, /\n/g')
    return 1
}
for program in qel qel-render; do
    check "$program is stripped" test -z "$(readelf -S "$bin/$program" | grep -F .debug_info)"
    # Every library the program loads itself, as the loader finds it.
    while read -r lib path; do
        package="$(package_of "$path")"
        check "$program's $lib comes from a package qel depends on ($package)" depends_on "$package"
    done < <(ldd "$bin/$program" | awk -v needed="$(readelf -d "$bin/$program" | awk '/NEEDED/ { print $5 }' | tr -d '[]')" '
        BEGIN { split(needed, n, "\n"); for (i in n) want[n[i]] = 1 }
        $1 in want && $2 == "=>" { print $1, $3 }')
done

check "the packaged qel prints its version" test "$(headless "$bin/qel" --version)" = "qel $VERSION"
check "the packaged qel finds the packaged manual" \
    contains "$(headless "$bin/qel" --help)" "$SCRATCH/root/usr/share/qel/readme.txt"
headless "$bin/qel-render" --out "$SCRATCH/start.png"
check "the packaged qel-render draws" test -s "$SCRATCH/start.png"

checks_done
