#!/usr/bin/env bash
# Runs the whole test suite of a configured and built tree:
#   tests/run.sh [BUILD_DIR] [ctest arguments...]
#   tests/run.sh [BUILD_DIR] --wine10 [REGEX]
# The Windows test programs run under Wine on a display, prefix and sound server of
# their own; the platform-free logic also runs natively under the sanitizers. The whole
# suite (no ctest arguments) then runs the end-to-end tests again under Debian 13's
# Wine 10, inside the root that scripts/wine10.sh keeps, on the same displays and sound
# server with a prefix of that root's own (TILO_WINE10=0 leaves this stage out).
# --wine10 runs only that stage, for the end-to-end tests whose names match REGEX.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$@"
build=$(cd "${1:-$top/build/win}" && pwd); shift || true

# The suite's prefix counts as a machine already measured fast, so that a saver started
# while the machine is busy does not stop at the frame-rate warning; the monitor's own
# tests clear the mark.
mark_measured_fast() {
  wine reg add 'HKCU\Software\Corvane\Tilo' /v disable_frame_warn /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
}

since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }'; }

# The end-to-end tests whose names match the regex, under the Wine on PATH, each in a
# process of its own with CTest's time limit, as CTest runs them: those CTest lists,
# and the DISABLED_ ones named ...UnderWine10, which show what only Wine 10 can.
e2e_one_by_one() {
  local regex=$1 exe="$build/tests/tilo_e2e_tests.exe" names t t0 n=0 failed=() out
  out=$(mktemp)
  cd "$build/tests"  # where CTest runs them
  names=$({ wine "$exe" --gtest_list_tests --gtest_filter='-*DISABLED_*'
            wine "$exe" --gtest_list_tests --gtest_filter='*.DISABLED_*UnderWine10'; } </dev/null |
          tr -d '\r' | awk '/^[^ ]/ {suite=$1} /^  / {print suite $1}' | grep -E -- "$regex" || true)
  local total
  total=$(printf '%s\n' "$names" | grep -c . || true)
  for t in $names; do
    n=$((n + 1))
    t0=$EPOCHREALTIME
    # In the background, so that a signal ends the run at once (the EXIT trap's
    # wineserver -k then ends the test's processes).
    timeout -k 10 120 wine "$exe" --gtest_also_run_disabled_tests --gtest_filter="$t" </dev/null >"$out" 2>&1 &
    if wait $!; then
      printf '%3d/%d %-100s Passed %6.2f s\n' "$n" "$total" "$t" "$(since "$t0")"
    else
      cat "$out"
      printf '%3d/%d %-100s ***Failed %6.2f s\n' "$n" "$total" "$t" "$(since "$t0")"
      failed+=("$t")
    fi
  done
  rm -f "$out"
  echo "Wine $(wine --version </dev/null | tr -d '\r' | sed 's/^wine-//'): $((total - ${#failed[@]})) of $total end-to-end tests passed"
  [ ${#failed[@]} -eq 0 ] || printf 'Failed under this Wine: %s\n' "${failed[@]}"
  [ "$total" -gt 0 ] && [ ${#failed[@]} -eq 0 ]
}

# What the Wine 10 stage runs inside the root (scripts/wine10.sh run): the root's own
# prefix, made ready like the suite's, with a server of its own.
if [ "${1:-}" = --inside-wine10-root ]; then
  wine_env_wine "$WINEPREFIX"
  mark_measured_fast
  rc=0
  e2e_one_by_one "${2:-.}" || rc=1
  wine_env_down
  exit $rc
fi

wine10=0 regex=.
[ $# -gt 0 ] || wine10=${TILO_WINE10:-1}
if [ "${1:-}" = --wine10 ]; then wine10=only regex=${2:-.}; fi

status=0
if [ "$wine10" != only ]; then
  bash "$top/scripts/check_layers.sh" || status=1
  ctest --test-dir "$top/build/native" --output-on-failure || status=1
fi
wine_env_up "$build"
if [ "$wine10" != only ]; then
  mark_measured_fast
  ctest --test-dir "$build" --output-on-failure "$@" || status=1
fi
if [ "$wine10" != 0 ]; then
  start=$(date +%s)
  bash "$top/scripts/wine10.sh" run "$build" bash "$top/tests/run.sh" "$build" --inside-wine10-root "$regex" ||
    status=1
  echo "Wine 10 stage: $(( $(date +%s) - start )) s"
fi
wine_env_down
exit $status
