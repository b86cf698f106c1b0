#!/usr/bin/env bash
# Measures the sound subsystem under Wine (decode cost, CPU of three overlapping voices,
# StopMusic-to-silence time):
#   bash bench/sound_bench.sh [BUILD_DIR]      (default build/win)
# Configures and builds BUILD_DIR when needed, brings up the test bench (display, Wine
# prefix, PulseAudio null sink) and runs bench/sound_bench.cpp's program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/win}
. "$top/tests/bench.sh"
bench_build "$build" sound_bench Tilo
build=$(cd "$build" && pwd)
bench_up "$build"
wine "$build/bench/sound_bench.exe" "$build/Tilo.scr" </dev/null
bench_down
