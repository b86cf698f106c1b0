#!/usr/bin/env bash
# The saver's own figures against bare programs of ours, side by side on one display:
# frame time without the 30 ms floor against the same eight display lists in a tight
# loop, at 1920 x 1080 and 1280 x 1024; process start to the first swapped frame against
# a bare Wine OpenGL program; the CPU the saver uses at its 30 ms pace; module-1 frames
# in the settings dialog's frame, shown by copying them in (the path taken under Wine)
# against by swapping the frame's own buffers (the plain path); the saver's frame on two
# monitors (1280 x 1024 and 1024 x 768 to its right, one scene each) against the bare
# lists drawn once per monitor into the same viewports, and against one monitor of the
# same total size (2304 x 1024).
#   bash bench/saver_bench.sh [SECONDS]   (builds build/win first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/win
seconds=${1:-4}
. "$top/scripts/wine_env.sh"
wine_env_fixed_layout "$@"
bash "$top/scripts/build.sh" saver_bench >/dev/null
exe="$build/bench/saver_bench.exe"

median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
field() { awk -v k="$1" '{print $k}'; }

export TILO_OWN_DISPLAY=1
for screen in 1920x1080 1280x1024; do
  TILO_SCREEN=${screen}x24 wine_env_up "$build"
  saver=() bare=()
  for _ in 1 2 3 4 5; do  # alternated, so that drift of the machine hits both alike
    saver+=("$(wine "$exe" frames "$seconds" </dev/null | field 2)")
    bare+=("$(wine "$exe" bare "$seconds" </dev/null | field 2)")
  done
  s=$(printf '%s\n' "${saver[@]}" | median); b=$(printf '%s\n' "${bare[@]}" | median)
  printf '%-9s frame without floor: saver %.3f ms, bare lists %.3f ms, ratio %.3f (runs: saver %s; bare %s)\n' \
    "$screen" "$s" "$b" "$(echo "$s / $b" | bc -l)" "${saver[*]}" "${bare[*]}"
  if [ "$screen" = 1920x1080 ]; then
    first=() barefirst=()
    for _ in 1 2 3 4 5; do
      first+=("$(wine "$exe" first </dev/null | field 2)")
      barefirst+=("$(wine "$exe" barefirst </dev/null | field 2)")
    done
    f=$(printf '%s\n' "${first[@]}" | median); g=$(printf '%s\n' "${barefirst[@]}" | median)
    printf '%-9s start to first swapped frame: saver %.1f ms, bare %.1f ms, ratio %.3f (runs: saver %s; bare %s)\n' \
      "$screen" "$f" "$g" "$(echo "$f / $g" | bc -l)" "${first[*]}" "${barefirst[*]}"
    copied=() plain=() size=
    for _ in 1 2 3 4 5; do
      line=$(wine "$exe" copied "$seconds" </dev/null); size=$(echo "$line" | field 8)
      copied+=("$(echo "$line" | awk '{print $4, $2}')")
      plain+=("$(wine "$exe" direct "$seconds" </dev/null | awk '{print $4, $2}')")
    done
    med() { printf '%s\n' "$@" | awk -v k="$col" '{print $k}' | median; }
    col=1 cs=$(med "${copied[@]}") ps=$(med "${plain[@]}")
    col=2 cf=$(med "${copied[@]}") pf=$(med "${plain[@]}")
    printf '%-9s settings frame %s: showing a frame %.3f ms copied in, %.3f ms swapped; whole frame %.2f ms against %.2f ms (show and frame per run: copied %s; swapped %s)\n' \
      "$screen" "$size" "$cs" "$ps" "$cf" "$pf" "${copied[*]}" "${plain[*]}"
    paced=$(wine "$exe" paced 10 </dev/null)
    printf '%-9s at the 30 ms pace: %s\n' "$screen" "$(echo "$paced" | awk '{printf "%.2f ms/frame, %.1f fps, %.1f%% of one core", $2, $4, $6}')"
    dark=$(wine "$exe" dark 10 </dev/null)
    printf '%-9s with the displays off: %s\n' "$screen" "$(echo "$dark" | awk '{printf "%d frames, %.2f%% of one core", $8, $6}')"
  fi
  wine_env_down
done

# Two monitors against one: the same X screen and the same full-screen window, drawn once
# or once per monitor. The two machines run side by side and are alternated.
TILO_SCREEN=2304x1024x24 wine_env_up "$build"
one_display=$DISPLAY one_prefix=$WINEPREFIX
(
  _env_pids=() _env_wineserver=0 _env_prefix_copy=  # the machine's own, ended with it
  wine_env_machine 2304x1024x24 '*P:1280x1024+0+0' 'R:1024x768+1280+0'
  one=() two=() bare=()
  for _ in 1 2 3 4 5; do
    one+=("$(DISPLAY=$one_display WINEPREFIX=$one_prefix wine "$exe" frames "$seconds" </dev/null | field 2)")
    two+=("$(wine "$exe" frames "$seconds" </dev/null | field 2)")
    bare+=("$(wine "$exe" bare "$seconds" </dev/null | field 2)")
  done
  o=$(printf '%s\n' "${one[@]}" | median); t=$(printf '%s\n' "${two[@]}" | median)
  b=$(printf '%s\n' "${bare[@]}" | median)
  printf '2304x1024 frame without floor: two monitors %.3f ms, bare lists per monitor %.3f ms, ratio %.3f (runs: saver %s; bare %s)\n' \
    "$t" "$b" "$(echo "$t / $b" | bc -l)" "${two[*]}" "${bare[*]}"
  printf '2304x1024 frame without floor: two monitors %.3f ms, one monitor %.3f ms, ratio %.3f (runs: two %s; one %s)\n' \
    "$t" "$o" "$(echo "$t / $o" | bc -l)" "${two[*]}" "${one[*]}"
  wine_env_down
)
wine_env_down
