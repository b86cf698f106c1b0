#!/usr/bin/env bash
# Runs the DISABLED_ tests of a test program that need a machine of another kind: a
# screen of the given size, drawn by the given Mesa driver (softpipe: a slow machine;
# llvmpipe: the usual fast one). Wine takes the screen's size from its server, so the
# machine has a copy of the prefix and a wineserver of its own (scripts/wine_env.sh).
# Each test runs in a process of its own, as CTest runs the others. MONITOR splits the
# screen into monitors (NAME:WxH+X+Y, a leading * on NAME for the primary).
# --window-manager: the machine's display has a window manager that Wine leaves its
# windows to.
#   other_machine.sh [--window-manager] SIZE DRIVER TEST_EXE GTEST_FILTER [MONITOR...]
set -u
wm=()
if [ "${1:-}" = --window-manager ]; then wm=(--window-manager); shift; fi
size=$1 driver=$2 exe=$3 filter=$4
shift 4
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "run inside tests/run.sh (scripts/wine_env.sh)"; exit 1; }
. "$(dirname "$0")/../../scripts/wine_env.sh"
wine_env_machine "${wm[@]}" "$size" "$@" || exit 1
export GALLIUM_DRIVER=$driver
# --gtest_list_tests prints "Suite." and then its tests indented.
tests=$(wine "$exe" --gtest_also_run_disabled_tests --gtest_filter="$filter" --gtest_list_tests </dev/null |
  tr -d '\r' | awk '/^[^ ]/ {suite=$1} /^  / {print suite $1}')
rc=0
[ -n "$tests" ] || { echo "no test matches $filter"; rc=1; }
for t in $tests; do
  wine "$exe" --gtest_also_run_disabled_tests --gtest_filter="$t" </dev/null || rc=1
done
wine_env_down
exit $rc
