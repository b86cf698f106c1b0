#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, and builds libogg and
# libvorbis from Debian's own source packages: cross-built for the Windows target always,
# and with `setup.sh fuzz` also natively with clang under the fuzzing instrumentation.
# Idempotent: packages already present and libraries already built are kept.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/quietly.sh"
deps=${TILO_DEPS_DIR:-$top/build/deps}
fuzzdeps=${TILO_FUZZ_DEPS_DIR:-$top/build/fuzz-deps}

# fonts-wine: Wine's own fonts ("MS Sans Serif", Marlett), which wine only recommends and
# so does not bring here; without them the dialogs are drawn in a wider font than on
# Windows and their texts clip. x11-xserver-utils: xrandr, which splits a test screen
# into monitors. mmdebstrap: the root with today's Wine (scripts/wine10.sh). osslsigncode
# and openssl: the release's Authenticode signatures (scripts/sign.sh) and the tests'
# certificate. openbox: the window manager of the tests that run under one
# (scripts/wine_env.sh).
packages=(cmake make mingw-w64 wine wine64 fonts-wine xvfb xauth x11-utils x11-xserver-utils
          xdotool openbox libgl1-mesa-dri mesa-utils pulseaudio pulseaudio-utils imagemagick googletest
          vorbis-tools sox dpkg-dev g++ python3 bc clang-14 libclang-rt-14-dev nsis mmdebstrap
          osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_=""; [ "$(id -u)" = 0 ] || sudo_=sudo
  quietly $sudo_ apt-get update -qq
  quietly env DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The two source packages, downloaded once into $deps/src and kept there.
fetch_sources() {
  if compgen -G "$deps/src/libogg_1.3.5.orig.tar.*" >/dev/null &&
     compgen -G "$deps/src/libvorbis_1.3.7.orig.tar.*" >/dev/null; then return 0; fi
  mkdir -p "$deps/src/parts" "$deps/src/lists/partial"
  # The same mirror as the machine's own package sources; never written into the tree.
  local mirror
  mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$mirror" ] || mirror=$(awk '$1=="deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
  cat > "$deps/src/parts/src.sources" <<SRC
Types: deb-src
URIs: $mirror
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  local O=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$deps/src/parts"
           -o "Dir::State::Lists=$deps/src/lists")
  apt-get "${O[@]}" update -qq
  (cd "$deps/src" && apt-get "${O[@]}" source -qq --download-only libogg=1.3.5-3 libvorbis=1.3.7-1)
}

# Unpacks both upstream sources (the code that ships; no Debian patches) into $1.
unpack_sources() {
  tar xf "$deps"/src/libogg_1.3.5.orig.tar.* -C "$1"
  tar xf "$deps"/src/libvorbis_1.3.7.orig.tar.* -C "$1"
}

# Each function and datum in a section of its own, so that linking Tilo.scr drops what
# it never calls. The stamp holds the flags: a change of flags rebuilds. The libraries
# are built beside the folder and swapped in whole, so that a build that links against
# them meanwhile finds either the old ones or the new ones.
crossflags="-ffunction-sections -fdata-sections"
if [ ! -f "$deps/.built" ] || [ "$(cat "$deps/.built")" != "$crossflags" ]; then
  echo "setup: building libogg and libvorbis for x86_64-w64-mingw32 in $deps"
  fetch_sources
  next="$deps.next"
  rm -rf "$next"; mkdir -p "$next/build"
  unpack_sources "$next/build"
  cd "$next/build"
  tc="$top/cmake/mingw-w64-x86_64.cmake"
  cross=(-DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_C_FLAGS=$crossflags"
         -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$next")
  quietly cmake -S libogg-1.3.5 -B build-ogg "${cross[@]}" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
  quietly cmake --build build-ogg -j"$(nproc)"
  quietly cmake --install build-ogg
  quietly cmake -S libvorbis-1.3.7 -B build-vorbis "${cross[@]}" \
    -DOGG_INCLUDE_DIR="$next/include" -DOGG_LIBRARY="$next/lib/libogg.a"
  quietly cmake --build build-vorbis -j"$(nproc)"
  quietly cmake --install build-vorbis
  cd "$top"
  rm -rf "$next/build"
  mv "$deps/src" "$next/src"
  echo "$crossflags" > "$next/.built"
  rm -rf "$deps.old"
  if [ -d "$deps" ]; then mv "$deps" "$deps.old"; fi
  mv "$next" "$deps"
  rm -rf "$deps.old"
  echo "setup: libraries ready"
fi

[ "${1:-}" = fuzz ] || exit 0

# The same libraries for the native fuzz targets: clang, ASan and UBSan (float
# conversions included) with libFuzzer's coverage hooks. Their UBSan checks can
# recover, so that the few benign reports listed in tests/fuzz/third_party.supp can
# be passed over; the targets make every other report fatal. The stamp holds the
# flags, so a change of flags rebuilds.
fuzzflags="-fsanitize=address,undefined,float-cast-overflow,fuzzer-no-link -fsanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer -g -O2"
if [ -f "$fuzzdeps/.built" ] && [ "$(cat "$fuzzdeps/.built")" = "$fuzzflags" ]; then exit 0; fi
echo "setup: building libogg and libvorbis natively for fuzzing in $fuzzdeps"
fetch_sources
rm -rf "$fuzzdeps"; mkdir -p "$fuzzdeps/src" "$fuzzdeps/lib" "$fuzzdeps/include"
cd "$fuzzdeps/src"
unpack_sources .
native=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_BUILD_TYPE=None "-DCMAKE_C_FLAGS=$fuzzflags"
        -DBUILD_SHARED_LIBS=OFF)
quietly cmake -S libogg-1.3.5 -B build-ogg "${native[@]}" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF \
  -DCMAKE_INSTALL_PREFIX="$fuzzdeps"
quietly cmake --build build-ogg -j2
quietly cmake --install build-ogg
# Only what the player links: the decoder and its file layer, not the encoder.
quietly cmake -S libvorbis-1.3.7 -B build-vorbis "${native[@]}" \
  -DOGG_INCLUDE_DIR="$fuzzdeps/include" -DOGG_LIBRARY="$fuzzdeps/lib/libogg.a"
quietly cmake --build build-vorbis -j2 --target vorbis vorbisfile
cp build-vorbis/lib/libvorbis.a build-vorbis/lib/libvorbisfile.a "$fuzzdeps/lib/"
mkdir -p "$fuzzdeps/include/vorbis" && cp libvorbis-1.3.7/include/vorbis/*.h "$fuzzdeps/include/vorbis/"
echo "$fuzzflags" > "$fuzzdeps/.built"
echo "setup: fuzzing libraries ready"
