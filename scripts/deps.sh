# Installs the Debian packages that are missing (sourced by run.sh and test.sh).
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        local SUDO=""
        [ "$(id -u)" -ne 0 ] && SUDO="sudo"
        echo "installing: ${missing[*]}"
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}
BUILD_PACKAGES=(g++ make cmake qt6-base-dev libgl-dev libgtest-dev libgmock-dev libpng-dev)
configure_and_build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$ROOT/$dir" -j "$(nproc)"
}
