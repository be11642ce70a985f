#!/bin/bash
# Runs every test: the native build under AddressSanitizer and UBSan, then
# the 64-bit Windows build under wine64 on an Xvfb display. The 32-bit
# deliverables are built too, so they must compile cleanly.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

status=0
ctest --test-dir build/native --output-on-failure || status=1

source "$ROOT/scripts/wine-env.sh"
wine_start
trap wine_stop EXIT
ctest --test-dir build/win64 --output-on-failure --timeout 900 "$@" || status=1
exit $status
