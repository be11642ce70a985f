#!/bin/bash
# Prints side-by-side figures: the install engine against plain copies and
# plain downloads, in one run on the same Wine prefix. Not part of the tests.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" >/dev/null
source "$ROOT/scripts/wine-env.sh"
wine_start
WORK="$ROOT/build/bench"
rm -rf "$WORK"
mkdir -p "$WORK"
SERVER_PID=
cleanup() {
    touch "$WORK/stop"
    [ -n "$SERVER_PID" ] && wait "$SERVER_PID" 2>/dev/null || true
    rm -rf "$WORK"
    wine_stop
}
trap cleanup EXIT
BENCH="$ROOT/build/win64/tests/engine_bench.exe"
winpath() { echo "Z:${1//\//\\}"; }

echo "== Install engine (wine64, $(nproc) cores)"
"$WINE64" "$BENCH" tree "$(winpath "$WORK/tree")"
"$WINE64" "$BENCH" copy "$(winpath "$WORK/tree")"
rm -rf "$WORK/tree"

SIZE=$((512 * 1024 * 1024))
"$WINE64" "$BENCH" serve "$(winpath "$WORK/port")" "$SIZE" "$(winpath "$WORK/stop")" &
SERVER_PID=$!
for _ in $(seq 100); do [ -s "$WORK/port" ] && break; sleep 0.1; done
URL="http://127.0.0.1:$(cat "$WORK/port")/big.bin"
"$WINE64" "$BENCH" download "$URL" "$(winpath "$WORK/dl")"
"$WINE64" "$BENCH" wininet "$URL"
start=$(date +%s.%N)
curl -s -o /dev/null --noproxy '*' "$URL"
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN { t = e - s; printf "%-34s curl   %7.2f s (%7.1f MiB/s)\n", "download, curl on Linux", t, 512 / t }'
