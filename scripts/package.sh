#!/usr/bin/env bash
# Builds the Debian package of qel (installing what that needs) in
# build-package/: the programs with Debian's hardening flags, every library
# linked shared, installed under /usr; CPack's DEB generator packs them with
# the dependencies dpkg-shlibdeps finds in the binaries. The last line
# printed is the package's path.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

BUILD="$ROOT/build-package"
# Debian's flags for packages, every hardening feature on (the bit-exact
# orbit flags of CMakeLists.txt still come after them).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DQEL_RENDER_ARCHIVES=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# Only what the package holds (qel brings its manual, man pages and
# changelog), not the tests and benchmarks.
cmake --build "$BUILD" -j "$(nproc)" --target qel qel-render
(cd "$BUILD" && cpack --config CPackConfig.cmake) | tee "$BUILD/cpack.log" >&2
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$BUILD/cpack.log"
