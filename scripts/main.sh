#!/bin/bash
# Installs the toolchain, builds every build and shows what was built.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
echo
echo "Built:"
find "$ROOT/build/win32" "$ROOT/build/win64" -maxdepth 3 \( -name '*.exe' -o -name '*.a' \) -newer "$ROOT/CMakeLists.txt" -printf '  %p  (%s bytes)\n' | sort
