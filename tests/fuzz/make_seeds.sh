#!/usr/bin/env bash
# Writes the fuzz targets' seed inputs into tests/fuzz/corpus/TARGET/:
#   bash tests/fuzz/make_seeds.sh
# The Ogg Vorbis seeds are the chant (a link to the resource) and three short streams made here with sox and
# oggenc (stereo, 8 kHz, and a chain of two links that differ in both); the others
# are the typical inputs of their target in its own input layout. The output is the
# same on every run (fixed serial numbers, repeatable sox).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
corpus=$top/tests/fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seed() {  # target name: bytes from stdin
  mkdir -p "$corpus/$1"
  cat >"$corpus/$1/$2"
}

# Command lines as the system and users start the saver (a tab before the last switch).
rm -rf "$corpus/cmdline"
while IFS='|' read -r name line; do printf '%s' "$line" | seed cmdline "$name"; done <<'LINES'
saver|Tilo.scr /s
preview|"C:\Program Files\Tilo\Tilo.scr" /p 65802
config|TILO.SCR /c:1234
password|Tilo.scr -a 4242
bare|Tilo.scr
quoted_l|"C:\a b\Tilo.scr"/l   77x
tab|Tilo.scr	/save
LINES

# Link texts and registered HTTP open commands (link, NUL, command), one of each shape.
rm -rf "$corpus/web_link"
while IFS='|' read -r name link command; do printf '%s\0%s' "$link" "$command" | seed web_link "$name"; done <<'LINKS'
quoted_args|-new http://www.example.org/tilo/|"C:\Program Files\Browser\browser.exe" -osint -url "%1"
unquoted_placeholder|-new HTTP://www.Example.org/Velin/|c:\b\browser.exe "%1"
unquoted_args|-new https://savetibet.org/|c:\b\browser.exe -nohome
bare_placeholder|-new https://www.tibetsociety.com/|c:\b\browser.exe %1
iexplore|-new http://www.example.org/|"C:\Program Files\Internet Explorer\IEXPLORE.EXE" %1
leading_blank|-new http://www.example.org/tilo/| "C:\rec\rec.exe" "%1"
none|www.example.org|dummy
LINKS

# Short streams of a plucked chord; each link a serial number of its own.
rm -rf "$corpus/ogg_stream"
encode() {  # name rate channels seconds serial
  sox -R -D -V1 -n -r "$2" -c "$3" -b 16 "$work/$1.wav" synth "$4" pluck 220 pluck 330 \
    remix - fade t 0.01 "$4" 0.05 channels "$3"
  oggenc -Q -q 0 -s "$5" -o "$work/$1.ogg" "$work/$1.wav"
  vorbiscomment -w -c /dev/null "$work/$1.ogg"
}
encode stereo 44100 2 0.3 11
encode narrow 8000 1 0.5 12
cat "$work/narrow.ogg" "$work/stereo.ogg" >"$work/chained.ogg"
for s in stereo narrow chained; do seed ogg_stream "$s.ogg" <"$work/$s.ogg"; done
ln -s ../../../../resources/omchant.ogg "$corpus/ogg_stream/chant.ogg"

# Stored module values, 32-bit little-endian: the defaults, a turned and moved view,
# the values that once drifted, and the ends of the range.
le32() { for v in "$@"; do python3 -c "import struct,sys; sys.stdout.buffer.write(struct.pack('<i', $v))"; done; }
le32 4100 0 0 0 0 0 10 | seed module_scaling defaults
le32 12050 -20 10 -9000 150 300 995 | seed module_scaling turned
le32 209 -117 53 59 -105 | seed module_scaling drifted
le32 2147483647 -2147483648 100001 45000 -9999 | seed module_scaling extremes

# Pixel-format lists: colour bits, provisional (16-bit), count adjustment, then per
# format flags (32-bit), type, colour bits, depth bits, describable.
fmt() { python3 -c "import struct,sys; sys.stdout.buffer.write(struct.pack('<IBBBB', $1, $2, $3, $4, $5))"; }
head3() { python3 -c "import struct,sys; sys.stdout.buffer.write(struct.pack('<Bhb', $1, $2, $3))"; }
# Hardware double-buffered 32-bit with depth 0, 16, 24 and 32, then their software twins.
{ head3 32 1 0; for d in 0 16 24 32; do fmt 0x25 0 32 $d 1; done
  for d in 0 16 24 32; do fmt 0x65 0 32 $d 1; done; } | seed pixel_format desktop
{ head3 32 2 1; fmt 0x25 0 16 16 1; fmt 0x24 0 16 24 1; } | seed pixel_format sixteen_bit
{ head3 32 1 2; fmt 0x25 0 32 24 0; fmt 0x25 0 32 24 1; fmt 0x64 1 32 16 1; } | seed pixel_format undescribed
