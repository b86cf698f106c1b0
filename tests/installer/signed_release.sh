#!/usr/bin/env bash
# The release signed with a certificate made for the test's while (scripts/sign.sh):
# every output verifies against it with SHA-256 digests, the password reaches no output,
# signing again (the password from the environment this time) gives the same bytes, each
# file less its signature is this build's (sign.sh --check), SHA256SUMS holds; then the
# signed setup is installed, run and removed under Wine, in a prefix of its own (the
# SignedRelease case of the installer tests).
#   signed_release.sh INSTALLER_TESTS_PROGRAM
# Runs inside tests/run.sh's environment.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${TILO_BUILD_DIR:?run it under tests/run.sh}
work=$(mktemp -d "$build/signed.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "signed_release.sh: $*" >&2; exit 1; }

password="throwaway-$RANDOM-$RANDOM"
printf '%s\n' "$password" > password
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Tilo test signer" -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout file:password
TILO_SIGN_PASSWORD_FILE=password bash "$top/scripts/sign.sh" cert.p12 release "$build" >sign.log 2>&1 ||
  { cat sign.log; fail "sign.sh failed"; }
TILO_SIGN_PASSWORD=$password bash "$top/scripts/sign.sh" cert.p12 again "$build" >>sign.log 2>&1 ||
  { cat sign.log; fail "sign.sh failed with the password in the environment"; }
if grep -qF "$password" sign.log; then fail "the password reached sign.sh's output"; fi
(cd release && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not hold for the signed files"
for f in Tilo.scr uninstal.exe Tilo-setup.exe; do
  osslsigncode verify -CAfile cert.pem -in "release/$f" >verify.log 2>&1 || { cat verify.log; fail "$f does not verify"; }
  grep -q '^Message digest algorithm *: SHA256' verify.log || fail "$f's digest is not SHA-256"
  cmp "release/$f" "again/$f" || fail "$f signed twice differs"
done
# Less their signatures, the files are this build's (the setup: around the signed two).
bash "$top/scripts/sign.sh" --check release "$build" >check.log 2>&1 ||
  { cat check.log; fail "sign.sh --check does not find this build in the signed release"; }

TILO_RELEASE_DIR=$work/release bash "$top/tests/support/own_prefix.sh" "$1" \
  --gtest_also_run_disabled_tests --gtest_filter='SignedRelease.DISABLED_*'
