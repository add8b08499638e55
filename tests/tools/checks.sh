# The checks of the command-line tests (sourced): check runs one, and
# checks_done prints the count and fails when any check failed.
failures=0
passes=0
check() { # description, command...
    local what="$1"; shift
    if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
checks_done() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
