#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, and cross-builds
# libogg and libvorbis for the Windows target from Debian's own source packages.
# Idempotent: packages already present and libraries already built are kept.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=${TILO_DEPS_DIR:-$top/build/deps}

packages=(cmake make mingw-w64 wine wine64 xvfb xauth x11-utils xdotool libgl1-mesa-dri
          mesa-utils pulseaudio pulseaudio-utils imagemagick googletest vorbis-tools
          sox dpkg-dev g++ python3 bc)

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

if [ -f "$deps/.built" ]; then exit 0; fi
echo "setup: building libogg and libvorbis for x86_64-w64-mingw32 in $deps"
rm -rf "$deps"; mkdir -p "$deps/src/parts" "$deps/src/lists/partial"
# The same mirror as the machine's own package sources; never written into the tree.
mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '$1=="deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
cat > "$deps/src/parts/src.sources" <<SRC
Types: deb-src
URIs: $mirror
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
O=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$deps/src/parts"
   -o "Dir::State::Lists=$deps/src/lists")
apt-get "${O[@]}" update -qq
(cd "$deps/src" && apt-get "${O[@]}" source -qq --download-only libogg=1.3.5-3 libvorbis=1.3.7-1)
cd "$deps/src"
tar xf libogg_1.3.5.orig.tar.*
tar xf libvorbis_1.3.7.orig.tar.*
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
