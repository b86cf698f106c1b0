#!/usr/bin/env bash
# The saver on an X display without GLX gets no rendering context: it must show the
# driver message (no owner, OK only), close once it is dismissed, and exit with 0.
# The same run in-process then checks that the pump never drew a frame.
#   no_glx.sh TILO_SCR MESSAGE_BOX_CHECK_EXE UNIT_TESTS_EXE
# With --test, runs the DISABLED_ tests of a test program that match the filter there,
# with what they start; it fails when none ran:
#   no_glx.sh --test TEST_EXE GTEST_FILTER
set -u
[ -n "${TILO_NOGLX_DISPLAY:-}" ] || { echo "no display without GLX (scripts/wine_env.sh provides one)"; exit 1; }
if [ "$1" = --test ]; then
  out=$(DISPLAY=$TILO_NOGLX_DISPLAY wine "$2" --gtest_also_run_disabled_tests --gtest_filter="$3" </dev/null)
  rc=$?
  printf '%s\n' "$out"
  [ "$rc" = 0 ] && printf '%s\n' "$out" | tr -d '\r' | grep -q '^\[  PASSED  \] [1-9]'
  exit
fi
saver=$1 check=$2 unit=$3
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
