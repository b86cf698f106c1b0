#!/usr/bin/env bash
# Times the compile of the eight mesh display lists and module 1's unpaced frames
# (DrawModule1 + SwapBuffers) at 1920 x 1080 under Wine, on a display of its own:
#   bash bench/scene_bench.sh [BUILD_DIR] [CONTEXTS] [FRAMES]
# Configures and builds BUILD_DIR (default build/win) when needed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/win}
contexts=${2:-5}
frames=${3:-300}

. "$top/tests/bench.sh"
bench_build "$build" scene_bench
build=$(cd "$build" && pwd)

# A display of our own, so that no other window shares the screen or the server.
export TILO_OWN_DISPLAY=1
bench_up "$build"
wine "$build/bench/scene_bench.exe" "$contexts" "$frames" </dev/null
