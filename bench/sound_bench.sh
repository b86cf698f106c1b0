#!/usr/bin/env bash
# Measures the sound subsystem under Wine (decode cost, CPU of three overlapping voices,
# StopMusic-to-silence time):
#   bash bench/sound_bench.sh
# Builds build/win, brings up the Wine environment (display, prefix, PulseAudio null
# sink) and runs bench/sound_bench.cpp's program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/win
. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$@"
bash "$top/scripts/build.sh" sound_bench Tilo >/dev/null
wine_env_up "$build"
wine "$build/bench/sound_bench.exe" "$build/Tilo.scr" </dev/null
wine_env_down
