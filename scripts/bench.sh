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

PROGRAMS="$ROOT/build/win64/tests/program_bench.exe"
PARVELO="$(winpath "$(find "$ROOT/build/win64/installer" -name Parvelo.exe | head -1)")"
MAKER="$(winpath "$(find "$ROOT/build/win64/maker" -name ParveloMaker.exe | head -1)")"

echo "== Install engine (wine64, $(nproc) cores)"
"$WINE64" "$BENCH" tree "$(winpath "$WORK/tree")"
sync
"$WINE64" "$BENCH" copy "$(winpath "$WORK/tree")"

echo "== Installer wizard"
printf 'APP_NAME = Bench\nINSTALL_LIST = big.txt\n' >"$WORK/tree/src/ParveloInfo.txt"
mkdir -p "$WORK/tree/wizard"
"$WINE64" "$PROGRAMS" wizard "$PARVELO" "$(winpath "$WORK/tree/src")" "$(winpath "$WORK/tree/wizard")\\"
rm -rf "$WORK/tree"

echo "== Package maker"
BUILD="$WORK/maker"
python3 - "$BUILD/InstallData" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(2000):
    folder = os.path.join(root, "d%02d" % (d // 100), "f%04d" % d)
    os.makedirs(folder, exist_ok=True)
    for f in range(10):
        with open(os.path.join(folder, "file%d.txt" % f), "wb") as out:
            out.write(b"x" * 100)
PY
for i in 1 2 3 4 5; do printf 'BM' >"$BUILD/DialogBmp$i.bmp"; done
start=$(date +%s.%N)
count=$(find "$BUILD/InstallData" | wc -l)
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v n="$count" 'BEGIN { printf "%-34s find   %7.2f s (%d entries)\n", "find on Linux", e - s, n }'
"$WINE64" "$PROGRAMS" walk "$(winpath "$BUILD/InstallData")"
"$WINE64" "$PROGRAMS" maker "$MAKER" "$(winpath "$BUILD")"
echo "  install list: $(head -1 "$BUILD/Parvelo.txt") entries, $(wc -c <"$BUILD/Parvelo.txt") bytes"
rm -rf "$BUILD"

echo "== Downloads"

SIZE=$((512 * 1024 * 1024))
"$WINE64" "$BENCH" serve "$(winpath "$WORK/port")" "$SIZE" "$(winpath "$WORK/stop")" &
SERVER_PID=$!
for _ in $(seq 100); do [ -s "$WORK/port" ] && break; sleep 0.1; done
URL="http://127.0.0.1:$(cat "$WORK/port")/big.bin"
# The engine writes what it downloads; start with nothing left to write back.
sync
"$WINE64" "$BENCH" download "$URL" "$(winpath "$WORK/dl")"
"$WINE64" "$BENCH" wininet "$URL"
start=$(date +%s.%N)
curl -s -o /dev/null --noproxy '*' "$URL"
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN { t = e - s; printf "%-34s curl   %7.2f s (%7.1f MiB/s)\n", "download, curl on Linux", t, 512 / t }'
