#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs atspi_check.py against the real window under Xvfb and a private session bus.
# Usage: atspi_test.sh PATH/TO/lenstally
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Skips where a tool is missing, unless every test must run (LENSTALLY_REQUIRE_TEST_TOOLS=1).
missing() {
    echo "$1"
    [[ "${LENSTALLY_REQUIRE_TEST_TOOLS:-}" == 1 ]] && exit 1
    exit 77
}
for tool in xvfb-run dbus-run-session xdotool; do
    command -v "$tool" >/dev/null || missing "skipped: $tool is not installed"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing "skipped: no python3-pyatspi"
# -noreset: the display must outlive the accessibility bus launcher, which connects first.
exec timeout 180 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' \
    dbus-run-session -- /usr/bin/python3 "$here/atspi_check.py" "$1" 2> >(grep -v '^dbus-daemon' >&2)
