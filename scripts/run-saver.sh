#!/usr/bin/env bash
# Sets up, builds, and runs the saver full screen (Tilo.scr /s) under Wine.
# On $DISPLAY when there is one: the saver runs until the mouse or a key closes it.
# Without a display: on an Xvfb of its own for a few seconds; the screen is saved to
# build/screenshot.png (or the path in TILO_SCREENSHOT), then the saver is closed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$@"
bash "$top/scripts/build.sh"
build="$top/build/win"
had_display=${DISPLAY:-}
wine_env_up "$build"
if [ -n "$had_display" ]; then
  wine "$build/Tilo.scr" /s </dev/null
  echo "Tilo.scr exited with $?"
else
  shot=${TILO_SCREENSHOT:-$top/build/screenshot.png}
  wine "$build/Tilo.scr" /s </dev/null >/dev/null 2>&1 &
  pid=$!
  sleep "${TILO_RUN_SECONDS:-6}"
  import -display "$DISPLAY" -window root "$shot"
  # Closed as a user would: the pointer moves by more than 100 pixels.
  xdotool mousemove 100 100; sleep 0.3; xdotool mousemove 400 400
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" && rc=0 || rc=$?
  echo "Tilo.scr exited with $rc; screenshot: $shot"
fi
wine_env_down
