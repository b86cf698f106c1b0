#!/usr/bin/env bash
# Sets up, builds, and runs every test, then each fuzz target for a short while
# (TILO_FUZZ_SECONDS, default 20 s each; scripts/fuzz.sh runs them for longer).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
status=0
bash "$top/tests/run.sh" "$top/build/win" "$@" || status=1
bash "$top/scripts/fuzz.sh" "${TILO_FUZZ_SECONDS:-20}" || status=1
exit $status
