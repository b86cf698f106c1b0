#!/usr/bin/env bash
# The saver on an X display without GLX gets no rendering context: it must show the
# driver message (no owner, OK only), close once it is dismissed, and exit with 0.
# The same run in-process then checks that the pump never drew a frame.
#   no_glx.sh TILO_SCR MESSAGE_BOX_CHECK_EXE UNIT_TESTS_EXE
set -u
saver=$1 check=$2 unit=$3
[ -n "${TILO_NOGLX_DISPLAY:-}" ] || { echo "no display without GLX (scripts/wine_env.sh provides one)"; exit 1; }
DISPLAY=$TILO_NOGLX_DISPLAY wine "$saver" /s </dev/null >/dev/null 2>&1 &
pid=$!
wine "$check" 20000 </dev/null
checked=$?
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "the saver is still running after the message"; kill "$pid"; exit 1
fi
wait "$pid"; rc=$?
[ "$rc" = 0 ] || echo "the saver exited with $rc"
DISPLAY=$TILO_NOGLX_DISPLAY wine "$unit" --gtest_also_run_disabled_tests \
  --gtest_filter='FramePump.DISABLED_WithoutAContextTheWindowClosesAndNoFrameIsDrawn' </dev/null
inproc=$?
[ "$checked" = 0 ] && [ "$rc" = 0 ] && [ "$inproc" = 0 ]
