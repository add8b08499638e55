#!/usr/bin/env bash
# Builds qel and every test (installing what they need) and runs the tests,
# once in the normal build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the test that made it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
# The number texts are tested in a locale that writes one half as "0,5".
ensure_locale de_DE.UTF-8

configure_and_build build
(cd "$ROOT/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

configure_and_build build-asan -DQEL_SANITIZE=ON
(cd "$ROOT/build-asan" && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$(nproc)")
