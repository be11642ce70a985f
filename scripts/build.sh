#!/bin/bash
# Configures and builds: native (sanitizers, tests), 64-bit Windows (runs
# under wine64: tests, demos, benchmarks) and the 32-bit deliverables.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=$(nproc 2>/dev/null || echo 2)
configure() {
    local dir=$1
    shift
    [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPARVELO_WERROR=ON "$@" >/dev/null
}
configure build/native -DCMAKE_BUILD_TYPE=Debug
configure build/win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake"
configure build/win32 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DPARVELO_TESTS=OFF
for dir in build/native build/win64 build/win32; do
    cmake --build "$dir" -j"$JOBS"
done
