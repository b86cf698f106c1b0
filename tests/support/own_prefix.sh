#!/usr/bin/env bash
# Runs a Windows test program under Wine in a Wine prefix of its own, for tests that
# change what a whole prefix shares (Program Files, the system folder, the machine's
# registry, RunOnce, a restart with wineboot), so that they neither disturb the suite's
# prefix nor each other. CTest runs each such test through this script:
#   own_prefix.sh PROGRAM [ARGUMENTS...]
# The prefix is a hard-linked copy (about 50 ms) of a template that is made once per
# build tree beside the suite's prefix, never from it; it gets a wineserver of its own,
# and both go when the program ends. Listing the program's tests needs no prefix of its
# own. Runs inside tests/run.sh's environment (scripts/wine_env.sh).
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/scripts/wine_env.sh"
[ -n "${TILO_BUILD_DIR:-}" ] || { echo "own_prefix.sh: run it under tests/run.sh" >&2; exit 1; }
for arg in "$@"; do
  [ "$arg" = --gtest_list_tests ] && exec wine "$@"
done

template=$TILO_BUILD_DIR/wineprefix-template
(flock 9 && wine_prefix_make "$template") 9>"$template.lock" || exit 1
# Copies left behind by a run that was killed.
find "$TILO_BUILD_DIR" -maxdepth 1 -name 'wineprefix-test.*' -mmin +60 2>/dev/null |
  while IFS= read -r stale; do wine_prefix_remove "$stale"; done

prefix=$(mktemp -d "$TILO_BUILD_DIR/wineprefix-test.XXXXXX") || exit 1
finish() {
  WINEPREFIX=$prefix wineserver -k </dev/null >/dev/null 2>&1
  wine_prefix_remove "$prefix"
}
trap finish EXIT
trap 'exit 130' INT TERM
wine_prefix_clone "$template" "$prefix" || exit 1
export WINEPREFIX=$prefix
# As in wine_env_up: every standard stream detached from the first process, so that no
# Wine service holds CTest's pipe; the server outlives a killed run by a minute at most.
(wineserver -p60; wine cmd /c exit) </dev/null >/dev/null 2>&1
if [ -n "${TILO_UNMANAGED_X:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
fi
wine "$@"
