#!/usr/bin/env bash
# Sets the machine up (scripts/setup.sh) and builds:
#   scripts/build.sh             Tilo.scr, the test and benchmark programs into build/win,
#                                and the platform-free tests natively into build/native
#   scripts/build.sh TARGET...   only those targets of build/win
# build/win is configured here and nowhere else.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/quietly.sh"
bash "$top/scripts/setup.sh"
jobs=$(nproc)
quietly cmake -S "$top" -B "$top/build/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DTILO_DEPS_DIR="${TILO_DEPS_DIR:-$top/build/deps}"
if [ $# -gt 0 ]; then
  cmake --build "$top/build/win" -j"$jobs" --target "$@"
  exit 0
fi
cmake --build "$top/build/win" -j"$jobs"
quietly cmake -S "$top/tests/native" -B "$top/build/native"
cmake --build "$top/build/native" -j"$jobs"
