#!/usr/bin/env bash
# Ogg Vorbis streams that tests play in place of the chant, made at build time (they
# are large, and never committed):
#   make_test_chants.sh OUT_DIR
#   stereo.ogg   8 s, two channels at 44,100 Hz
#   narrow.ogg   8 s, one channel at 8,000 Hz
#   chained.ogg  two chained links: 0.1 s of one channel at 44,100 Hz, then 2 s of a
#                440 Hz tone in two channels at 8,000 Hz
#   long.ogg     ten minutes, one channel at 44,100 Hz
#   large.ogg    more than 50 MB: 18 minutes of noise in two channels at the highest quality
# Needs sox and oggenc (scripts/setup.sh installs them).
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox_n() { sox -R -D -V1 "$@"; }
tone() {  # seconds rate channels hz wav
  sox_n -n -r "$2" -c "$3" -b 16 "$5" synth "$1" sine "$4" gain -12 fade t 0.01 "$1" 0.01
}
encode() {  # serial wav ogg [oggenc options]
  oggenc -Q -s "$1" "${@:4}" -o "$3" "$2"
}

tone 8 44100 2 330 "$work/stereo.wav" && encode 11 "$work/stereo.wav" "$out/stereo.ogg"
tone 8 8000 1 330 "$work/narrow.wav" && encode 12 "$work/narrow.wav" "$out/narrow.ogg"
tone 0.1 44100 1 220 "$work/first.wav" && encode 13 "$work/first.wav" "$work/first.ogg"
tone 2 8000 2 440 "$work/second.wav" && encode 14 "$work/second.wav" "$work/second.ogg"
cat "$work/first.ogg" "$work/second.ogg" >"$out/chained.ogg"
tone 600 44100 1 110 "$work/long.wav" && encode 15 "$work/long.wav" "$out/long.ogg" -q 0
sox_n -n -r 44100 -c 2 -b 16 -t wav - synth 1100 whitenoise gain -6 | oggenc -Q -s 16 -q 10 -o "$out/large.ogg" -
size=$(stat -c %s "$out/large.ogg")
[ "$size" -gt 52428800 ] || { echo "make_test_chants: large.ogg is only $size bytes" >&2; exit 1; }
