#!/usr/bin/env bash
# Checks that includes run one way between the folders (docs/architecture.md):
#   support/               nothing of ours but support/
#   render/, sound/        their own folder and support/
#   shell/                 its own folder, support/ and resources/
#   dialogs/ (driven)      dialogs/, shell/, support/ and resources/
#   animation/             anything but the settings dialog's host header
#   dialogs/config_dialog  anything (it hosts the animation, as the shell window does)
# Prints each include that breaks a rule; exits 1 when there is one.
set -u
cd "$(dirname "$0")/.."
allowed() {  # file -> allowed folders (regex)
  case $1 in
    support/*) echo '^(support)/' ;;
    render/*) echo '^(render|support)/' ;;
    sound/*) echo '^(sound|support)/' ;;
    shell/*) echo '^(shell|support|resources)/' ;;
    dialogs/config_dialog.*) echo '.' ;;
    dialogs/*) echo '^(dialogs|shell|support|resources)/' ;;
    animation/*) echo '^((animation|render|sound|shell|support|resources)/|dialogs/(?!config_dialog))' ;;
  esac
}
bad=0
while IFS= read -r file; do
  rule=$(allowed "$file")
  while IFS= read -r inc; do
    [ -n "$inc" ] || continue
    if ! printf '%s\n' "$inc" | grep -qP "$rule"; then
      echo "$file includes \"$inc\""
      bad=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'support/*' 'render/*.cpp' 'render/*.h' 'sound/*' 'shell/*' 'dialogs/*' 'animation/*' | grep -E '\.(cpp|h)$')
# The platform-free sources and their headers stay free of the platform.
while IFS= read -r src; do
  for f in "$src" "${src%.cpp}.h"; do
    [ -f "$f" ] || continue
    if grep -nE '#include <(windows|mmsystem|GL/)' "$f" >/dev/null; then
      echo "$f is built natively but includes a platform header"
      bad=1
    fi
  done
done < <(sed -n 's/^ *\([a-z_/0-9]*\.cpp\)$/\1/p' cmake/pure_sources.cmake)
[ $bad = 0 ] && echo "layers: every include runs one way; the platform-free sources stay so"
exit $bad
