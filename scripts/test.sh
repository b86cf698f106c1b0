#!/usr/bin/env bash
# Sets up, builds, and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
exec bash "$top/tests/run.sh" "$top/build/win" "$@"
