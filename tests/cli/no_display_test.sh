#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# lenstally without a usable display: one line on stderr, nothing on stdout, exit status 3,
# never Qt's abort. Usage: no_display_test.sh PATH/TO/lenstally
set -uo pipefail
program=$1
failures=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# A display number with no server behind it.
free_display() {
    local n=4711
    while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
    echo ":$n"
}

check() {
    local name=$1
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" >"$out" 2>"$err"
    local status=$?
    local lines
    lines=$(wc -l <"$err")
    if [[ $status -ne 3 || -s $out || $lines -ne 1 ]] || ! grep -q "display" "$err"; then
        echo "FAIL $name: status $status, $lines stderr lines, stdout $(wc -c <"$out") bytes"
        sed 's/^/  stderr: /' "$err"
        failures=$((failures + 1))
    else
        echo "ok   $name: $(cat "$err")"
    fi
}

check "no display variable set"
check "DISPLAY names a server that is not there" DISPLAY="$(free_display)"
check "an empty DISPLAY" DISPLAY=
exit $((failures > 0))
