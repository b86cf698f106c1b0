#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz natively (clang, libFuzzer, ASan, UBSan) and
# runs each for a while:
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (default 60 seconds, every target)
# Each run starts from a scratch copy of the target's seeds (tests/fuzz/corpus/TARGET),
# so the tree stays as it is. Per target it prints the seconds run, executions, their
# rate and libFuzzer's final coverage (cov: edges, ft: features); a crash, sanitizer
# report, leak, time-out or failed property keeps its input under
# build/fuzz/findings/TARGET/ and makes the script exit with 1.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
if [[ ${1:-} =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi

bash "$top/scripts/setup.sh" fuzz
out=$top/build/fuzz
cmake -S "$top/tests/fuzz" -B "$out/bin" -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTILO_FUZZ_DEPS="${TILO_FUZZ_DEPS_DIR:-$top/build/fuzz-deps}" >/dev/null
cmake --build "$out/bin" -j2 >"$out/build.log" 2>&1 || { cat "$out/build.log"; exit 1; }

# targets.txt: one target a line, its name and then its own libFuzzer options.
declare -A options
while read -r name opts; do options[$name]=$opts; done <"$out/bin/targets.txt"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(cut -d' ' -f1 "$out/bin/targets.txt")

# The last value libFuzzer printed for "NAME: value" (final stats) or "NAME value" (status lines).
last_stat() { grep -o "$1[: ] *[0-9]*" "$2" | tail -n 1 | grep -o '[0-9]*$' || echo -; }

status=0
printf '%-16s %7s %12s %9s %7s %8s  %s\n' target seconds executions exec/s cov ft result
for t in "${targets[@]}"; do
  bin=$out/bin/fuzz_$t
  if [ ! -x "$bin" ] || [ -z "${options[$t]+set}" ]; then
    echo "$t: no such fuzz target (see tests/fuzz/CMakeLists.txt)"; status=1; continue
  fi
  work=$out/work/$t findings=$out/findings/$t log=$out/logs/$t.log
  rm -rf "$work"; mkdir -p "$work/corpus" "$findings" "$out/logs"
  if [ -d "$top/tests/fuzz/corpus/$t" ]; then cp "$top/tests/fuzz/corpus/$t"/* "$work/corpus/"; fi
  touch "$work/started"
  start=$(date +%s)
  rc=0
  # shellcheck disable=SC2086  # the target's options are separate words
  "$bin" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 ${options[$t]} \
    -artifact_prefix="$findings/" "$work/corpus" >"$log" 2>&1 </dev/null || rc=$?
  took=$(( $(date +%s) - start ))
  found=$(find "$findings" -type f -newer "$work/started" | sort)
  result=clean
  if [ $rc -ne 0 ] || [ -n "$found" ]; then result="FINDING (exit $rc)"; status=1; fi
  printf '%-16s %7s %12s %9s %7s %8s  %s\n' "$t" "$took" "$(last_stat stat::number_of_executed_units "$log")" \
    "$(last_stat stat::average_exec_per_sec "$log")" "$(last_stat ' cov' "$log")" "$(last_stat ' ft' "$log")" "$result"
  if [ "$result" != clean ]; then
    grep -E 'ERROR:|SUMMARY:|runtime error|property failed|Test unit written' "$log" | head -n 8 | sed 's/^/    /'
    for f in $found; do echo "    reproducer: $f  (rerun: $bin $f)"; done
    echo "    log: $log"
  fi
done
exit $status
