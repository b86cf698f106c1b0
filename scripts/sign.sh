#!/usr/bin/env bash
# Signs a built release with Authenticode (SHA-256 digests), or checks a signed one:
#   scripts/sign.sh CERTIFICATE.p12 OUT_DIR [BUILD_DIR]
#   scripts/sign.sh --check RELEASE_DIR [BUILD_DIR]
# The certificate's password comes from the file that TILO_SIGN_PASSWORD_FILE names, or
# else from TILO_SIGN_PASSWORD; never from a command line, and it is written nowhere.
# TILO_SIGN_TIMESTAMP_URL, when set, has that RFC 3161 time-stamp server countersign each
# signature; without it (the default) no server is asked.
#
# BUILD_DIR (default build/win) holds the release as built (scripts/build.sh Tilo setup).
# OUT_DIR gets Tilo.scr, uninstal.exe and Tilo-setup.exe, signed, dated at the release's
# time, and their SHA256SUMS. The saver is signed, then the setup made again around it by
# makensis, whose hooks sign the uninstaller before it is packed (so that the uninstaller
# the setup writes is signed too) and the setup once written. The signing time is the
# release's (the commit's, kept by the build), so that one build signed twice with one
# certificate gives the same bytes.
#
# --check takes the signatures from a signed release instead, with no key: each of its
# files less its signature must be this build's file (the setup: the one made around the
# release's signed saver and uninstaller), and with them the release is made again here
# and compared, SHA256SUMS included. It ends with 0 when the release is this build signed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/quietly.sh"

# Signs FILE, this build's NAME (Tilo.scr, uninstal.exe or Tilo-setup.exe), in place;
# with TILO_SIGN_FROM, puts that release's signed NAME in its place instead, once FILE is
# found to be its bytes less the signature.
sign_file() {
  local file=$1 name=$2 signed="$1.signed"
  rm -f "$signed"
  if [ -n "${TILO_SIGN_FROM:-}" ]; then
    quietly osslsigncode remove-signature -in "$TILO_SIGN_FROM/$name" -out "$signed" ||
      { echo "sign.sh: $TILO_SIGN_FROM/$name has no signature to take" >&2; rm -f "$signed"; return 1; }
    if ! cmp -s "$signed" "$file"; then
      echo "sign.sh: $TILO_SIGN_FROM/$name less its signature is not what this build makes" >&2
      rm -f "$signed"
      return 1
    fi
    cp "$TILO_SIGN_FROM/$name" "$signed"
  else
    local description ts=()
    case $name in
      Tilo.scr) description="Tilo Screen Saver" ;;
      uninstal.exe) description="Tilo Uninstall" ;;
      *) description="Tilo Setup" ;;
    esac
    [ -z "${TILO_SIGN_TIMESTAMP_URL:-}" ] || ts=(-ts "$TILO_SIGN_TIMESTAMP_URL")
    local how=(sign -pkcs12 "$TILO_SIGN_PKCS12" -h sha256 -n "$description" -time "$TILO_SIGN_TIME"
               "${ts[@]}" -in "$file" -out "$signed")
    if [ -n "${TILO_SIGN_PASSWORD_FILE:-}" ]; then
      quietly osslsigncode "${how[@]}" -readpass "$TILO_SIGN_PASSWORD_FILE"
    else
      quietly osslsigncode "${how[@]}" -readpass <(printf '%s' "$TILO_SIGN_PASSWORD")
    fi || { echo "sign.sh: could not sign $file" >&2; rm -f "$signed"; return 1; }
  fi
  mv -f "$signed" "$file"
}

# makensis's hooks: sign.sh --file FILE NAME.
if [ "${1:-}" = --file ]; then
  sign_file "$2" "$3"
  exit
fi

usage() { sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
check=
if [ "${1:-}" = --check ]; then
  [ $# -ge 2 ] && [ $# -le 3 ] || usage
  check=$2 out=$(mktemp -d) build=${3:-$top/build/win}
  trap 'rm -rf "$out"' EXIT
  TILO_SIGN_FROM=$(realpath "$check")
  for f in Tilo.scr uninstal.exe Tilo-setup.exe; do
    [ -f "$TILO_SIGN_FROM/$f" ] || { echo "sign.sh: no $check/$f to check" >&2; exit 2; }
  done
  export TILO_SIGN_FROM
else
  [ $# -ge 2 ] && [ $# -le 3 ] || usage
  cert=$1 out=$2 build=${3:-$top/build/win}
  [ -r "$cert" ] || { echo "sign.sh: cannot read the certificate $cert" >&2; exit 2; }
  if [ -n "${TILO_SIGN_PASSWORD_FILE:-}" ]; then
    [ -r "$TILO_SIGN_PASSWORD_FILE" ] ||
      { echo "sign.sh: cannot read the password file $TILO_SIGN_PASSWORD_FILE" >&2; exit 2; }
    TILO_SIGN_PASSWORD_FILE=$(realpath "$TILO_SIGN_PASSWORD_FILE")
    export TILO_SIGN_PASSWORD_FILE
  elif [ -z "${TILO_SIGN_PASSWORD+set}" ]; then
    echo "sign.sh: give the certificate's password in a file named by TILO_SIGN_PASSWORD_FILE," \
         "or in TILO_SIGN_PASSWORD" >&2
    exit 2
  fi
  TILO_SIGN_PKCS12=$(realpath "$cert")
  export TILO_SIGN_PKCS12 TILO_SIGN_PASSWORD TILO_SIGN_TIMESTAMP_URL
  unset TILO_SIGN_FROM
fi
for f in Tilo.scr source_date_epoch; do
  [ -f "$build/$f" ] || { echo "sign.sh: no $build/$f: build the release first" \
                                "(scripts/build.sh Tilo setup)" >&2; exit 2; }
done
for tool in osslsigncode makensis; do
  command -v "$tool" >/dev/null || { echo "sign.sh: $tool is missing (scripts/setup.sh)" >&2; exit 2; }
done

TILO_SIGN_TIME=$(cat "$build/source_date_epoch")
export TILO_SIGN_TIME
mkdir -p "$out"
out=$(cd "$out" && pwd)
outputs=(Tilo.scr uninstal.exe Tilo-setup.exe)
rm -f "${outputs[@]/#/$out/}" "$out/SHA256SUMS"
# Nothing half-signed is left behind.
[ -n "$check" ] || trap '[ -f "$out/SHA256SUMS" ] || rm -f "${outputs[@]/#/$out/}"' EXIT

cp "$build/Tilo.scr" "$out/Tilo.scr"
sign_file "$out/Tilo.scr" Tilo.scr
# The packed saver's date is the one the installed file gets.
touch -d "@$TILO_SIGN_TIME" "$out/Tilo.scr"
quietly makensis -V2 "-DTILO_SCR=$out/Tilo.scr" "-DOUTFILE=$out/Tilo-setup.exe" \
  "-DUNINSTALLER_OUT=$out/uninstal.exe" "-DSIGN=bash \"$top/scripts/sign.sh\" --file" \
  "$top/installer/tilo.nsi"
touch -d "@$TILO_SIGN_TIME" "${outputs[@]/#/$out/}"
(cd "$out" && sha256sum "${outputs[@]}" > SHA256SUMS)

if [ -z "$check" ]; then
  echo "sign.sh: signed ${outputs[*]} and their SHA256SUMS in $out"
elif [ -f "$check/SHA256SUMS" ] && ! cmp -s "$out/SHA256SUMS" "$check/SHA256SUMS"; then
  echo "sign.sh: $check/SHA256SUMS does not list this build signed:" >&2
  diff "$check/SHA256SUMS" "$out/SHA256SUMS" >&2 || true
  exit 1
else
  sed 's/^/  same: /' "$out/SHA256SUMS"
  echo "sign.sh: $check holds this build, signed"
fi
