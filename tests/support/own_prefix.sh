#!/usr/bin/env bash
# Runs a Windows test program under Wine on a machine of its own, for tests that change
# what a whole prefix shares (Program Files, the system folder, the machine's registry,
# RunOnce, a restart with wineboot), so that they neither disturb the suite's prefix nor
# each other. CTest runs each such test through this script:
#   own_prefix.sh [--screen WxHxD] PROGRAM [ARGUMENTS...]
# The machine (scripts/wine_env.sh's wine_env_machine) is an Xvfb of the suite's screen
# size or the one given, a hard-linked copy of a template prefix that is made once per
# build tree beside the suite's prefix, never from it, and a wineserver of its own; all
# go when the program ends. Listing the program's tests needs no machine of its own.
# Runs inside tests/run.sh's environment.
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/scripts/wine_env.sh"
[ -n "${TILO_BUILD_DIR:-}" ] || { echo "own_prefix.sh: run it under tests/run.sh" >&2; exit 1; }
size=${TILO_SCREEN:-1920x1080x24}
if [ "${1:-}" = --screen ]; then size=$2; shift 2; fi
for arg in "$@"; do
  [ "$arg" = --gtest_list_tests ] && exec wine "$@"
done

template=$TILO_BUILD_DIR/wineprefix-template
(flock 9 && wine_prefix_make "$template") 9>"$template.lock" || exit 1
# Copies left behind by a run that was killed.
find "$TILO_BUILD_DIR" -maxdepth 1 -name 'machine.*' -mmin +60 2>/dev/null |
  while IFS= read -r stale; do wine_prefix_remove "$stale"; done

export WINEPREFIX=$template
wine_env_machine "$size" || exit 1
# No window manager on the machine's display (see wine_env_up).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
wine "$@"
