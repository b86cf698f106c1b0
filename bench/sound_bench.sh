#!/usr/bin/env bash
# Measures the sound subsystem under Wine (decode cost, CPU of three overlapping voices,
# StopMusic-to-silence time):
#   bash bench/sound_bench.sh [BUILD_DIR]      (default build/win)
# Configures and builds BUILD_DIR when needed, brings up the test bench (display, Wine
# prefix, PulseAudio null sink) and runs bench/sound_bench.cpp's program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/win}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
    -DTILO_DEPS_DIR="${TILO_DEPS_DIR:-$top/build/deps}"
fi
cmake --build "$build" -j2 --target sound_bench Tilo
build=$(cd "$build" && pwd)
. "$top/tests/bench.sh"
bench_up "$build"
# A null sink that does not rewind, so that its monitor hears every stream from its start.
pactl load-module module-null-sink sink_name=tilo_exact norewinds=1 >/dev/null
pactl set-default-sink tilo_exact
pactl set-default-source tilo_exact.monitor
wine "$build/bench/sound_bench.exe" "$build/Tilo.scr" </dev/null
bench_down
