#!/usr/bin/env bash
# Times the compile of the eight mesh display lists and module 1's unpaced frames
# (DrawModule1 + SwapBuffers) at 1920 x 1080 under Wine, on a display of its own:
#   bash bench/scene_bench.sh [CONTEXTS] [FRAMES]   (builds build/win first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/win
contexts=${1:-5}
frames=${2:-300}

. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$@"
bash "$top/scripts/build.sh" scene_bench >/dev/null

# A display of our own, so that no other window shares the screen or the server.
export TILO_OWN_DISPLAY=1
wine_env_up "$build"
wine "$build/bench/scene_bench.exe" "$contexts" "$frames" </dev/null
