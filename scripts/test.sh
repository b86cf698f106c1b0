#!/usr/bin/env bash
# Sets up, builds, and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
# A test that fails is run once more before it counts: a Wine process now and then fails
# to start on a loaded machine. A test that fails twice fails the run.
exec bash "$top/tests/run.sh" "$top/build/win" --repeat until-pass:2 "$@"
