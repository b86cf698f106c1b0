#!/usr/bin/env bash
# Soaks the full-screen saver with sound: runs it for MINUTES (default 30) while the view
# keys are pressed through real input every 4 s, samples the process's handle count,
# private bytes, working set, GDI objects and thread count, and how much of the time the
# chant sounded, every 30 s, prints the table and a verdict ("flat": nothing grows after
# the first minutes; the sound throughout; Esc ends the saver with 0). Exits 1 otherwise.
#   bash bench/soak.sh [MINUTES] [MONITOR...]
# TILO_SCREEN sets the X screen (default 1024x768x24); each MONITOR (NAME:WxH+X+Y, a
# leading * on NAME for the primary) splits it into monitors, e.g. three:
#   TILO_SCREEN=1920x600x24 bash bench/soak.sh 120 left:640x480+0+0 '*mid:640x600+640+0' right:640x480+1280+0
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/win
minutes=${1:-30}
shift || true
. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$minutes" "$@"
bash "$top/scripts/build.sh" soak Tilo >/dev/null
export TILO_OWN_DISPLAY=1 TILO_SCREEN=${TILO_SCREEN:-1024x768x24}
wine_env_up "$build"
soak() { wine "$build/bench/soak.exe" "$build/Tilo.scr" "$minutes" </dev/null; }
if [ $# -gt 0 ]; then
  # The machine in a shell of its own, which stops its server and displays on leaving,
  # as tests/probes/other_machine.sh does; this one then stops the suite's.
  (wine_env_machine "$TILO_SCREEN" "$@" && soak)
else
  soak
fi
