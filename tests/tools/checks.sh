# The checks of the command-line tests (sourced): check runs one, and
# checks_done prints the count and fails when any check failed.
failures=0
passes=0
check() { # description, command...
    local what="$1"; shift
    if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# Runs a program with no display at all: a qel that opened a window would
# fail here.
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
contains() { # text, part
    [[ "$1" == *"$2"* ]]
}
checks_done() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
