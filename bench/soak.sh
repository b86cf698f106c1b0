#!/usr/bin/env bash
# Soaks the full-screen saver with sound: runs it for MINUTES (default 30) while the view
# keys are pressed through real input every 4 s, samples the process's handle count,
# private bytes and thread count every 30 s, prints the table and a verdict ("flat":
# nothing grows after the first minutes). Exits 1 when something grows.
#   bash bench/soak.sh [MINUTES]          (TILO_SCREEN sets the display, default 1024x768x24)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/win
minutes=${1:-30}
. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$@"
bash "$top/scripts/build.sh" soak Tilo >/dev/null
export TILO_OWN_DISPLAY=1 TILO_SCREEN=${TILO_SCREEN:-1024x768x24}
wine_env_up "$build"
wine "$build/bench/soak.exe" "$build/Tilo.scr" "$minutes" </dev/null
