#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, and builds libogg and
# libvorbis from Debian's own source packages: cross-built for the Windows target always,
# and with `setup.sh fuzz` also natively with clang under the fuzzing instrumentation.
# Idempotent: packages already present and libraries already built are kept.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=${TILO_DEPS_DIR:-$top/build/deps}
fuzzdeps=${TILO_FUZZ_DEPS_DIR:-$top/build/fuzz-deps}

packages=(cmake make mingw-w64 wine wine64 xvfb xauth x11-utils xdotool libgl1-mesa-dri
          mesa-utils pulseaudio pulseaudio-utils imagemagick googletest vorbis-tools
          sox dpkg-dev g++ python3 bc clang-14 libclang-rt-14-dev nsis mmdebstrap)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_=""; [ "$(id -u)" = 0 ] || sudo_=sudo
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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

if [ ! -f "$deps/.built" ]; then
  echo "setup: building libogg and libvorbis for x86_64-w64-mingw32 in $deps"
  rm -rf "$deps"
  fetch_sources
  cd "$deps/src"
  unpack_sources .
  tc="$top/cmake/mingw-w64-x86_64.cmake"
  cmake -S libogg-1.3.5 -B build-ogg -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX="$deps" >/dev/null
  cmake --build build-ogg -j"$(nproc)" >/dev/null
  cmake --install build-ogg >/dev/null
  cmake -S libvorbis-1.3.7 -B build-vorbis -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$deps" \
    -DOGG_INCLUDE_DIR="$deps/include" -DOGG_LIBRARY="$deps/lib/libogg.a" >/dev/null
  cmake --build build-vorbis -j"$(nproc)" >/dev/null
  cmake --install build-vorbis >/dev/null
  touch "$deps/.built"
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
cmake -S libogg-1.3.5 -B build-ogg "${native[@]}" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF \
  -DCMAKE_INSTALL_PREFIX="$fuzzdeps" >/dev/null
cmake --build build-ogg -j2 >/dev/null
cmake --install build-ogg >/dev/null
# Only what the player links: the decoder and its file layer, not the encoder.
cmake -S libvorbis-1.3.7 -B build-vorbis "${native[@]}" \
  -DOGG_INCLUDE_DIR="$fuzzdeps/include" -DOGG_LIBRARY="$fuzzdeps/lib/libogg.a" >/dev/null
cmake --build build-vorbis -j2 --target vorbis vorbisfile >/dev/null
cp build-vorbis/lib/libvorbis.a build-vorbis/lib/libvorbisfile.a "$fuzzdeps/lib/"
mkdir -p "$fuzzdeps/include/vorbis" && cp libvorbis-1.3.7/include/vorbis/*.h "$fuzzdeps/include/vorbis/"
echo "$fuzzflags" > "$fuzzdeps/.built"
echo "setup: fuzzing libraries ready"
