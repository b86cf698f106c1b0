#!/usr/bin/env bash
# Builds the release a second time, as another checkout on another machine would, and
# compares it with a first build by SHA-256:
#   scripts/check_reproducible.sh [BUILD_DIR]
# BUILD_DIR (default build/win) holds the first build's SHA256SUMS of Tilo.scr,
# uninstal.exe and Tilo-setup.exe (scripts/build.sh). The checkout's files, as its working
# tree has them and freshly dated, are copied to build/again/src, and only the release is
# built there, into build/again/win, reusing the cross-built libraries; under another
# time zone, user name and home, with a host name of its own where a UTS namespace can be
# had (as root). The commit's time comes from the checkout's history, as in the first
# build. Prints the sums; fails when an output differs, keeping build/again to compare
# (cmp -l), and removes it when all agree.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/quietly.sh"
build=${1:-$top/build/win}
again=$top/build/again
deps=${TILO_DEPS_DIR:-$top/build/deps}
[ -f "$build/SHA256SUMS" ] || { echo "check_reproducible.sh: no $build/SHA256SUMS: build first" >&2; exit 2; }

rm -rf "$again"
mkdir -p "$again/src" "$again/home"
# Read even from a checkout that another user owns, as the build does.
git=(git -c 'safe.directory=*' -C "$top")
("${git[@]}" ls-files -z --cached --others --exclude-standard |
   (cd "$top" && tar --null --ignore-failed-read -T - -cf -)) | tar -xmf - -C "$again/src"

other=(env "TZ=<+1345>-13:45" USER=tilo-again LOGNAME=tilo-again "HOME=$again/home"
       "GIT_DIR=$("${git[@]}" rev-parse --absolute-git-dir)")
host="the same host name"
if [ "$(id -u)" = 0 ] && unshare --uts true 2>/dev/null; then
  other=(unshare --uts sh -c 'hostname tilo-again && exec "$@"' sh "${other[@]}")
  host="host name tilo-again"
fi
echo "check_reproducible.sh: building the release again in $again (TZ +13:45, user tilo-again, $host)"
start=$(date +%s)
(cd "$again/src" &&
 quietly "${other[@]}" cmake -S . -B "$again/win" -DCMAKE_TOOLCHAIN_FILE="$again/src/cmake/mingw-w64-x86_64.cmake" \
   -DCMAKE_BUILD_TYPE=Release -DTILO_DEPS_DIR="$deps" -DTILO_BUILD_TESTS=OFF &&
 quietly "${other[@]}" cmake --build "$again/win" -j"$(nproc)" --target setup)
echo "check_reproducible.sh: built in $(( $(date +%s) - start )) s"

if cmp -s "$build/SHA256SUMS" "$again/win/SHA256SUMS"; then
  sed 's/^/  same: /' "$build/SHA256SUMS"
  rm -rf "$again"
  echo "check_reproducible.sh: the release is reproducible"
else
  echo "check_reproducible.sh: the release differs from $build:" >&2
  diff "$build/SHA256SUMS" "$again/win/SHA256SUMS" >&2 || true
  exit 1
fi
