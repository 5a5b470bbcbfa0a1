#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# lenstally finds and starts the window program, in the build tree and in an installed prefix
# moved elsewhere, and the window opens at 624 x 545 (drawn offscreen, saved after its first
# paint). Usage: window_start_test.sh BUILD_DIR
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

png_size() { # width x height from the PNG header
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}

check() {
    local name=$1 program=$2
    local shot="$work/$name.png"
    QT_QPA_PLATFORM=offscreen LENSTALLY_GRAB="$shot" "$program" >"$work/out" 2>"$work/err"
    local status=$?
    if [[ $status -ne 0 || ! -s $shot || $(png_size "$shot") != 624x545 ]]; then
        echo "FAIL $name: status $status, picture $( [[ -s $shot ]] && png_size "$shot")"
        sed 's/^/  stderr: /' "$work/err"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

check "build tree" "$build/bin/lenstally"
cmake --install "$build" --prefix "$work/prefix" >/dev/null || failures=$((failures + 1))
mv "$work/prefix" "$work/moved"
check "installed prefix, moved" "$work/moved/bin/lenstally"
exit $((failures > 0))
