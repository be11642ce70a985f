#!/bin/bash
# The system's main job in one command: installs the toolchain, builds both
# programs, makes a sample package with ParveloMaker (driven through its
# dialog) from samples/InstallData, installs it with Parvelo through every
# page, cancels a second installation, and saves a screenshot of each window.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

OUT="$ROOT/build/mainjob"
rm -rf "$OUT"
mkdir -p "$OUT"
source "$ROOT/scripts/wine-env.sh"
wine_start
trap wine_stop EXIT
# The programs print Shift_JIS; the terminal wants UTF-8.
"$WINE64" "$ROOT/build/win64/tests/main_job.exe" "$ROOT/samples/InstallData" "$OUT" | iconv -f CP932 -t UTF-8
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || { echo "main job failed ($status)" >&2; exit "$status"; }
for shot in "$OUT"/screenshots/*.bmp; do
    convert "$shot" "${shot%.bmp}.png" && rm "$shot"
done
echo
echo "Screenshots:  $OUT/screenshots"
ls "$OUT/screenshots" | sed 's/^/              /'
echo "Deliverables: $ROOT/build/win32/installer/wizard/Parvelo.exe, $ROOT/build/win32/maker/ParveloMaker.exe"
