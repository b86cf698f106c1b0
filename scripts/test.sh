#!/usr/bin/env bash
# Sets up, builds, checks that the release builds the same elsewhere
# (scripts/check_reproducible.sh), runs every test (tests/run.sh: the end-to-end tests
# under Wine 10 too), then each fuzz target for a short while (TILO_FUZZ_SECONDS,
# default 8 s each; scripts/fuzz.sh runs them for longer).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
# The Wine 10 root, when it is still to be made, is made while the build runs; the Wine
# 10 stage of tests/run.sh waits for it.
maker=
if [ $# -eq 0 ] && [ "${TILO_WINE10:-1}" != 0 ]; then
  mkdir -p "$top/build/wine10"
  bash "$top/scripts/wine10.sh" make >"$top/build/wine10/make.log" 2>&1 &
  maker=$!
  trap '[ -z "$maker" ] || kill -TERM "$maker" 2>/dev/null || true' EXIT
fi
bash "$top/scripts/build.sh"
status=0
# The release built a second time elsewhere must be the same bytes.
if [ $# -eq 0 ]; then
  bash "$top/scripts/check_reproducible.sh" "$top/build/win" || status=1
fi
bash "$top/tests/run.sh" "$top/build/win" "$@" || status=1
if [ -n "$maker" ]; then
  wait "$maker" || true
  maker=
  cat "$top/build/wine10/make.log"
fi
bash "$top/scripts/fuzz.sh" "${TILO_FUZZ_SECONDS:-8}" || status=1
exit $status
