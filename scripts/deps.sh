# What the scripts need of the machine (sourced by run.sh, test.sh and fuzz.sh).

# Runs a command as root, through sudo unless root already.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
# Installs the Debian packages that are missing.
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}
# Makes the locale $1 (such as de_DE.UTF-8) available, generating it once.
ensure_locale() {
    local name="$1" charset="${1#*.}"
    locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}" && return
    install_missing locales
    echo "generating the locale $name"
    grep -q "^$name $charset" /etc/locale.gen || as_root sed -i "s/^# *$name $charset/$name $charset/" /etc/locale.gen
    grep -q "^$name $charset" /etc/locale.gen || echo "$name $charset" | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
}
BUILD_PACKAGES=(g++ make cmake qt6-base-dev libgl-dev libgtest-dev libgmock-dev libmpfr-dev libpng-dev
    pkg-config libavcodec-dev libavformat-dev libswscale-dev libavutil-dev)
# What the program uses at run time beyond Qt itself: Qt's own dialogs in Japanese.
RUN_PACKAGES=(qt6-translations-l10n)
# What makes the Debian package: dpkg-shlibdeps (dpkg-dev) and the file
# command, with which CPack finds the binaries.
PACKAGE_PACKAGES=(dpkg-dev file)
# What the tests need beyond the build: groff to check the man pages, what
# makes the package, which they build too, and ffprobe (ffmpeg) to read
# films back.
TEST_PACKAGES=(groff-base ffmpeg "${PACKAGE_PACKAGES[@]}")
configure_and_build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$ROOT/$dir" -j "$(nproc)"
}
# The window benchmark (bench/window_bench.sh): a virtual X server and the
# XTEST extension that clicks in it.
# qel-film-bench decodes and compares films with ffmpeg and ffprobe.
BENCH_PACKAGES=(xvfb libxtst-dev ffmpeg)
