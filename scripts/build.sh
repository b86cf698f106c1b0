#!/usr/bin/env bash
# Sets the machine up (scripts/setup.sh), then builds Tilo.scr and the test programs
# into build/win, and the platform-free tests natively into build/native.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
jobs=$(nproc)
cmake -S "$top" -B "$top/build/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build "$top/build/win" -j"$jobs"
if [ -f "$top/tests/native/CMakeLists.txt" ]; then
  cmake -S "$top/tests/native" -B "$top/build/native" >/dev/null
  cmake --build "$top/build/native" -j"$jobs"
fi
