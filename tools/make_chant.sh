#!/usr/bin/env bash
# Synthesises the chant that the saver plays and encodes it as resources/omchant.ogg:
#   bash tools/make_chant.sh [QUALITY]
# QUALITY is oggenc's -q (default 6, about 70 KB). With TILO_CHANT_WAV=path the
# uncompressed mix is kept there for listening and measuring.
# A low sung "o" on one fundamental (110 Hz) that closes into a hum. Three copies
# started 3.2 s apart sound together, so the fundamental never moves and every
# partial is one of its harmonics. Ends are faded so that no copy clicks.
# Needs sox and oggenc; the output is the same on every run (fixed serial number,
# repeatable sox, no dither).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quality=${1:-6}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=44100
f0=110          # Hz, the one fundamental
sox_n() { sox -R -D -V1 "$@"; }

# Glottal-like source: a band-limited sawtooth on f0 with its fundamental reinforced.
source_tone() {  # seconds, file
  sox_n -n -r $rate -c 1 -b 16 "$2" synth "$1" sawtooth $f0 sine mix $f0 gain -6
}

# The vowel: formants of a rounded "o" (450 Hz, 800 Hz, weak third at 2.6 kHz),
# sung in over 0.15 s and giving way to the hum from 2.0 s to 3.2 s, so that it has
# gone when the next copy sings its own vowel.
source_tone 3.2 "$work/src_v.wav"
sox_n "$work/src_v.wav" "$work/vowel.wav" \
  lowpass -1 2200 \
  equalizer 450 1.4q +14 equalizer 800 1.8q +10 equalizer 2600 3q +3 \
  highpass -1 80 \
  fade t 0.15 3.2 1.2 norm -3

# The hum: a closed-mouth "m", little above the second harmonic, from 2.0 s to the end
# with a long release.
source_tone 6.2 "$work/src_m.wav"
sox_n "$work/src_m.wav" "$work/hum.wav" \
  lowpass -2 380 lowpass -1 600 equalizer 240 1q +6 highpass -1 70 \
  fade t 1.0 6.2 2.4 norm -3 pad 2.0

# Mix, breathe slowly and set the level: one copy peaks near -12 dBFS so that three
# overlapping copies stay below -1 dBFS whatever their phases.
sox_n -m "$work/vowel.wav" "$work/hum.wav" "$work/mix.wav" \
  tremolo 0.3 12 norm -12 trim 0 8.2 fade t 0.02 8.2 0.05

oggenc -Q -q "$quality" -s 1033 -o "$work/chant.ogg" "$work/mix.wav"
# No user comments in the stream (oggenc adds an ENCODER comment).
vorbiscomment -w -c /dev/null "$work/chant.ogg"
if [ -n "${TILO_CHANT_WAV:-}" ]; then cp "$work/mix.wav" "$TILO_CHANT_WAV"; fi
mkdir -p "$top/resources"
cp "$work/chant.ogg" "$top/resources/omchant.ogg"
echo "resources/omchant.ogg: $(stat -c %s "$top/resources/omchant.ogg") bytes"
