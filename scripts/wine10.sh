#!/usr/bin/env bash
# Wine 10 (Debian 13's) beside the machine's own Wine 8: a Debian 13 root, made once with
# mmdebstrap from the Debian mirror that apt already uses and kept under build/wine10,
# in which a command runs with the machine's X displays, its sound server and a build
# tree bound in at the same paths as outside (so the paths compiled into the test
# programs hold there), and with the tree's scripts and tests read-only.
#   wine10.sh make                      makes the root (once: 1.2 GB on disk, a few minutes)
#   wine10.sh run BUILD_DIR COMMAND...  runs COMMAND inside the root (made first if need be)
#   wine10.sh remove                    deletes the root (refused while anything is mounted in it)
# Inside, HOME is /root and WINEPREFIX is /root/prefix, the root's own; DISPLAY,
# PULSE_SERVER, WINEDEBUG, WINEDLLOVERRIDES and every TILO_ variable pass through.
# Whatever a run mounts is unmounted when it ends, however it ends. Needs root (mounts,
# chroot); one run at a time per root (a second one waits).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
base=${TILO_WINE10_DIR:-$top/build/wine10}
root=$base/root
stamp=$base/root.made

# Besides Wine and its display: ImageMagick's import, with which a test keeps a screenshot
# for a person to look at. Without recommendations, so the X and font libraries that
# Wine loads at run time are named here.
packages=(wine wine64 libwine xvfb xauth x11-utils libgl1-mesa-dri libglx-mesa0 fonts-wine
          imagemagick
          libfreetype6 libfontconfig1 libxcursor1 libxi6 libxrandr2 libxinerama1 libxcomposite1
          libxxf86vm1 libxrender1 libxfixes3 libxext6 libgl1)

die() { echo "wine10: $*" >&2; exit 1; }

# Mount points at or below a folder, deepest last (as /proc/self/mountinfo lists them).
mounts_under() {
  local dir
  dir=$(realpath -m "$1")
  awk -v d="$dir" '{ p = $5; gsub(/\\040/, " ", p); if (p == d || index(p, d "/") == 1) print p }' \
    /proc/self/mountinfo
}

# rm -rf of a folder, only while nothing is mounted below it: with /dev bound inside,
# it would delete the machine's device nodes.
remove_tree() {
  [ -e "$1" ] || return 0
  if [ -n "$(mounts_under "$1")" ]; then
    die "refusing to delete $1: still mounted there: $(mounts_under "$1" | tr '\n' ' ')"
  fi
  rm -rf "$1"
}

# The mirror that the machine's own package sources name.
debian_mirror() {
  local m
  m=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$m" ] || m=$(awk '$1=="deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
  [ -n "$m" ] || die "no Debian mirror in /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list"
  echo "$m"
}

make_root() {
  local want="trixie ${packages[*]}"
  [ -d "$root" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && return 0
  command -v mmdebstrap >/dev/null || die "mmdebstrap is missing (scripts/setup.sh installs it)"
  local mirror start
  mirror=$(debian_mirror)
  start=$(date +%s)
  echo "wine10: making the Debian 13 root in $root (once)"
  rm -f "$stamp"
  remove_tree "$root"
  remove_tree "$root.new"
  mkdir -p "$base"
  local list
  list=$(IFS=,; echo "${packages[*]}")
  # Documentation, manual pages and translations are left out: nothing here reads them.
  # In the background, so that a signal reaches mmdebstrap, which then undoes its own
  # mounts; the half-made root is deleted by the next make.
  mmdebstrap --quiet --mode=root --variant=apt \
    --aptopt='APT::Install-Recommends "false"' --aptopt='APT::Install-Suggests "false"' \
    --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
    --dpkgopt='path-exclude=/usr/share/info/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
    --include="$list" trixie "$root.new" \
    "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" </dev/null &
  local maker=$!
  trap 'kill -TERM $maker 2>/dev/null; wait $maker || true; exit 143' INT TERM HUP
  wait $maker || { remove_tree "$root.new"; die "mmdebstrap failed"; }
  trap - INT TERM HUP
  mv "$root.new" "$root"
  echo "$want" > "$stamp"
  echo "wine10: root ready ($(du -sm "$root" | cut -f1) MiB on disk, $(( $(date +%s) - start )) s)"
}

# Mounts made by this run, undone in reverse order on every way out.
mounted=()
child=
mount_in() {  # mount arguments..., target last
  mounted+=("${*: -1}")
  mount "$@"
}
bind_in() {  # host path [ro]: bound at the same path inside
  local src=$1 dst=$root$1
  [ -d "$src" ] || return 0
  mkdir -p "$dst"
  mount_in --bind "$src" "$dst"
  [ "${2:-}" != ro ] || mount -o remount,bind,ro "$dst"
}
unmount_all() {
  local i
  if [ -n "$child" ] && kill -0 "$child" 2>/dev/null; then
    kill -TERM "$child" 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$child" 2>/dev/null || break; sleep 0.1; done
  fi
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    mountpoint -q "${mounted[i]}" || continue
    # A process still inside keeps a mount busy: then detach it from the tree, so that
    # nothing reaches the machine's /dev through the root any more.
    umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" ||
      echo "wine10: could not unmount ${mounted[i]}" >&2
  done
  mounted=()
  local left
  left=$(mounts_under "$root")
  [ -z "$left" ] || echo "wine10: still mounted: $left" >&2
}

run_in_root() {
  local build
  build=$(cd "$1" && pwd); shift
  [ $# -gt 0 ] || die "run: no command"
  make_root
  trap unmount_all EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
  mount_in -t proc proc "$root/proc"
  mount_in -t sysfs sysfs "$root/sys"
  mount_in --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
  bind_in /tmp/.X11-unix
  bind_in "$top/scripts" ro
  bind_in "$top/tests" ro
  bind_in "$build"
  # A sound server whose socket lies outside the build tree: its folder too.
  local pulse=${PULSE_SERVER:-}
  pulse=${pulse#unix:}
  if [ -n "$pulse" ] && [ "${pulse#"$build"/}" = "$pulse" ]; then bind_in "$(dirname "$pulse")"; fi

  local envs=(HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin LANG=C.UTF-8
              WINEPREFIX=/root/prefix) v
  for v in DISPLAY PULSE_SERVER WINEDEBUG WINEDLLOVERRIDES WINEARCH $(compgen -v TILO_); do
    [ -z "${!v+x}" ] || envs+=("$v=${!v}")
  done
  # In the background with the caller's input, so that a signal to this script is
  # handled at once (and passed on) rather than after the command.
  # Without the lock's descriptor: a process left behind inside must not hold it.
  chroot "$root" /usr/bin/env -i "${envs[@]}" "$@" <&0 9>&- &
  child=$!
  local rc=0
  wait "$child" || rc=$?
  child=
  unmount_all
  trap - EXIT INT TERM HUP
  return $rc
}

[ "$(id -u)" = 0 ] || die "needs root (mmdebstrap, mount, chroot)"
mkdir -p "$base"
exec 9>"$base/lock"
flock 9
case "${1:-}" in
  make) make_root ;;
  run) shift; [ $# -ge 1 ] || die "usage: wine10.sh run BUILD_DIR COMMAND..."; run_in_root "$@" ;;
  remove) rm -f "$stamp"; remove_tree "$root"; remove_tree "$root.new"; echo "wine10: root removed" ;;
  *) die "usage: wine10.sh make | run BUILD_DIR COMMAND... | remove" ;;
esac
