# The environment in which Tilo runs under Wine here, shared by the test runner, the
# run script and the benchmarks (sourced by each): an X display (Xvfb on a free number
# when none is given), a private Wine prefix with a persistent wineserver, a second
# display without GLX, and a PulseAudio server with a null sink. It tears down only
# what it started.
#   wine_env_up BUILD_DIR    exports DISPLAY, WINEPREFIX, PULSE_SERVER, TILO_NOGLX_DISPLAY, ...
#   wine_env_machine [--window-manager] SIZE [MONITOR...]
#                            inside an environment that is up: a machine of another screen
#                            size (WxHxD) for one test, an Xvfb of that size with a copy of
#                            the prefix and a wineserver of its own (Wine takes the screen's
#                            size from the first display its server saw); exports DISPLAY
#                            and WINEPREFIX for it. The suite's server is left alone.
#                            MONITOR (NAME:WxH+X+Y, in the X screen's pixels; a leading * on
#                            NAME makes it the primary) splits the screen into monitors.
#                            TILO_MACHINE_DESKTOP=WxH runs its programs in a Wine virtual
#                            desktop of that size instead (one that changes its size when a
#                            program changes the display mode), its background magenta.
#                            --window-manager: openbox runs on the display, started before
#                            any Wine process, and Wine leaves its windows to it ("Managed"
#                            as Wine has it by default), as on a Linux desktop.
#   wine_env_wine PREFIX     a prefix ready for the tests (made once, kept) with a persistent
#                            wineserver of its own, for the Wine on PATH; exports WINEPREFIX
#                            and Wine's settings (wine_env_up does this for BUILD_DIR/wineprefix;
#                            the Wine 10 stage of tests/run.sh inside scripts/wine10.sh's root)
#   wine_env_down            stops what wine_env_up started (also installed as an EXIT trap)
#   wine_prefix_make DIR     makes a Wine prefix ready for Tilo's tests (once; kept after),
#                            with Wine's own fonts
#   wine_prefix_clone FROM TO   a cheap copy of a prefix (of a live one: as its server last
#                            saved it)
#   wine_prefix_remove DIR   removes a copy
# TILO_SCREEN sets the displays' size (default 1920x1080x24); TILO_OWN_DISPLAY=1 starts a
# display even when DISPLAY is set.

# Debian 12's Wine has no preloader: it reserves the addresses every Windows process
# needs (the shared user data at 0x7ffe0000 among them) only after the kernel has laid the
# process out, and with that layout randomised a mapping now and then already holds one
# of them. That program then never starts ("failed to map the shared user data"), before
# any code of ours runs. Without randomisation the layout is the same at every start.
#   wine_env_fixed_layout "$@"   first thing in a script that runs Wine (after sourcing
#                            this file): runs that script again so, once; its children
#                            inherit it.
wine_env_fixed_layout() {
  [ -z "${TILO_FIXED_LAYOUT:-}" ] || return 0
  command -v setarch >/dev/null || return 0
  export TILO_FIXED_LAYOUT=1
  exec setarch "$(uname -m)" -R bash "$0" "$@"
}

_env_pids=()
_env_wineserver=0
_env_own_display=
_env_prefix_copy=

_free_display() {
  local n=${1:-90}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}

_start_xvfb() {  # number, extra args...
  _start_xvfb_sized "$1" "${TILO_SCREEN:-1920x1080x24}" "${@:2}"
}

_start_xvfb_sized() {  # number, size, extra args...
  local n=$1 size=$2; shift 2
  Xvfb ":$n" -screen 0 "$size" -nolisten tcp "$@" >/dev/null 2>&1 &
  _env_pids+=($!)
  for _ in $(seq 1 100); do
    DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "wine_env: Xvfb :$n did not start" >&2
  return 1
}

wine_env_up() {
  local build=$1
  export TILO_BUILD_DIR="$build"
  trap wine_env_down EXIT
  trap 'exit 130' INT TERM

  if [ -z "${DISPLAY:-}" ] || [ -n "${TILO_OWN_DISPLAY:-}" ]; then
    local n; n=$(_free_display 90)
    _start_xvfb "$n" || return 1
    export DISPLAY=":$n"
    _env_own_display=1
  fi
  local m; m=$(_free_display $(( ${DISPLAY#:} + 1 )))
  _start_xvfb "$m" -extension GLX || return 1
  export TILO_NOGLX_DISPLAY=":$m"

  # A sound server of our own with a null sink whose monitor the tests record; without
  # rewinds, so that the monitor hears the start of every new stream.
  local pulse_dir="$build/pulse"
  rm -rf "$pulse_dir"; mkdir -p "$pulse_dir"
  export TILO_PULSE_SOCKET="$pulse_dir/native"
  HOME="$pulse_dir" XDG_RUNTIME_DIR="$pulse_dir" PULSE_RUNTIME_PATH="$pulse_dir" \
    pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
      --load="module-null-sink sink_name=tilo norewinds=1" \
      --load="module-native-protocol-unix socket=$TILO_PULSE_SOCKET auth-anonymous=1" \
      >"$pulse_dir/log" 2>&1 </dev/null &
  _env_pids+=($!)
  export PULSE_SERVER="unix:$TILO_PULSE_SOCKET"
  for _ in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl info >/dev/null 2>&1 || { echo "wine_env: PulseAudio did not start" >&2; return 1; }
  pactl set-default-sink tilo >/dev/null 2>&1 || true
  # Recording from the default source hears what the saver plays.
  pactl set-default-source tilo.monitor >/dev/null 2>&1 || true

  # No window manager runs on a display of our own: Wine would wait up to 2 s for one
  # to confirm each captioned window that hides (every dialog's end), so there Wine
  # manages its windows itself. On a desktop's display its window manager does.
  if [ -n "$_env_own_display" ]; then export TILO_UNMANAGED_X=1; else unset TILO_UNMANAGED_X; fi
  wine_env_wine "$build/wineprefix"
}

wine_env_wine() {
  # Wine's own errors only (a healthy run prints none): a program that Wine fails to
  # start or load says why in the test's output instead of ending without a word.
  export WINEDEBUG=${WINEDEBUG:--all,err+all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX=$1
  export WINEARCH=win64
  trap wine_env_down EXIT
  trap 'exit 130' INT TERM
  wine_prefix_make "$WINEPREFIX"
  # A persistent server with every standard stream detached, so that no Wine service
  # keeps a test runner's pipe open.
  (wineserver -p; wine cmd /c exit) </dev/null >/dev/null 2>&1
  _env_wineserver=1
  if [ -n "${TILO_UNMANAGED_X:-}" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "${TILO_MACHINE_DESKTOP:-}" ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$TILO_MACHINE_DESKTOP" /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Colors' /v Background /d '255 0 255' /f </dev/null >/dev/null 2>&1
  fi
}

wine_env_machine() {
  local managed=
  if [ "${1:-}" = --window-manager ]; then managed=1; shift; fi
  local size=$1; shift
  trap wine_env_down EXIT
  trap 'exit 130' INT TERM
  local n; n=$(_free_display $(( ${DISPLAY#:} + 1 )))
  # Monitors live as long as the server does not reset, which it would when its last
  # client leaves.
  if [ $# -gt 0 ]; then
    _start_xvfb_sized "$n" "$size" -noreset || return 1
  else
    _start_xvfb_sized "$n" "$size" || return 1
  fi
  export DISPLAY=":$n"
  _define_monitors "$@" || return 1
  _env_prefix_copy=$(mktemp -d "$TILO_BUILD_DIR/machine.XXXXXX")
  wine_prefix_clone "$WINEPREFIX" "$_env_prefix_copy"
  export WINEPREFIX=$_env_prefix_copy
  # The window manager learns the monitors when it starts, and Wine's windows are its
  # only when it runs before the first Wine process on the display.
  if [ -n "$managed" ]; then
    _start_window_manager "$_env_prefix_copy/openbox" || return 1
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "${TILO_MACHINE_DESKTOP:-}" ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$TILO_MACHINE_DESKTOP" /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Colors' /v Background /d '255 0 255' /f </dev/null >/dev/null 2>&1
  fi
  # Wine reads monitors made this way through Xinerama only, and only in a server
  # started after they exist; a desktop, too, is read at the server's start: the one
  # that sets the values is ended again.
  if [ $# -gt 0 ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f </dev/null >/dev/null 2>&1
  fi
  if [ -n "$managed" ] || [ $# -gt 0 ] || [ -n "${TILO_MACHINE_DESKTOP:-}" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  (wineserver -p; wine cmd /c exit) </dev/null >/dev/null 2>&1
  _env_wineserver=1
}

# openbox on DISPLAY with its own settings (none: its defaults), its files kept in DIR;
# ready once it has claimed the screen.
_start_window_manager() {
  local dir=$1
  mkdir -p "$dir" || return 1
  command -v openbox >/dev/null || { echo "wine_env: openbox is not installed (scripts/setup.sh)" >&2; return 1; }
  HOME="$dir" XDG_CONFIG_HOME="$dir/.config" XDG_CACHE_HOME="$dir/.cache" \
    openbox </dev/null >"$dir/log" 2>&1 &
  _env_pids+=($!)
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "wine_env: openbox did not start on $DISPLAY" >&2
  return 1
}

# Defines each MONITOR (NAME:WxH+X+Y) on the display at 96 pixels an inch. The first
# takes the place of the whole-screen monitor that Xvfb starts with.
_define_monitors() {
  local m output=screen
  for m in "$@"; do
    if ! [[ $m =~ ^(\*?[A-Za-z0-9_-]+):([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
      echo "wine_env: not a monitor: $m (NAME:WxH+X+Y)" >&2
      return 1
    fi
    local name=${BASH_REMATCH[1]} w=${BASH_REMATCH[2]} h=${BASH_REMATCH[3]}
    local x=${BASH_REMATCH[4]} y=${BASH_REMATCH[5]}
    xrandr --setmonitor "$name" "$w/$(( (w * 254 + 480) / 960 ))x$h/$(( (h * 254 + 480) / 960 ))+$x+$y" \
      "$output" >/dev/null || return 1
    output=none
  done
}

wine_env_down() {
  trap - EXIT
  if [ "$_env_wineserver" = 1 ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    _env_wineserver=0
  fi
  if [ -n "$_env_prefix_copy" ]; then
    wine_prefix_remove "$_env_prefix_copy"
    _env_prefix_copy=
  fi
  local p
  for p in "${_env_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${_env_pids[@]}"; do wait "$p" 2>/dev/null || true; done
  _env_pids=()
}

# Wine's own fonts (fonts-wine: "MS Sans Serif", Tahoma, Marlett...) in the prefix's Fonts
# folder, where Debian 12's Wine 8 finds them; where the package puts them it does not
# look (it asks for /usr/share/wine/../fonts). Linked, so that a prefix made before the
# package came gets them too.
_prefix_fonts() {
  local fonts=/usr/share/wine/fonts dest=$1/drive_c/windows/Fonts f
  [ -d "$fonts" ] || return 0
  mkdir -p "$dest"
  for f in "$fonts"/*; do
    [ -e "$dest/${f##*/}" ] || ln -s "$f" "$dest/${f##*/}"
  done
}

wine_prefix_make() {
  local dir=$1
  [ -f "$dir/.tilo-ready" ] && { _prefix_fonts "$dir"; return 0; }
  rm -rf "$dir"
  (
    export WINEPREFIX=$dir
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1 || true
    # A fault must reach the program's own guard: the system's fault report starts a
    # "debugger" that only exits, so the guard's handler is chosen, and no crash dialog.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'cmd.exe /c exit 0 %ld %ld' /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1 || true
  )
  _prefix_fonts "$dir"
  touch "$dir/.tilo-ready"
}

# Hard links for the files, which Wine replaces rather than rewrites; real copies of the
# registry, which the server rewrites in place.
wine_prefix_clone() {
  local from=$1 to=$2 f
  cp -al "$from/." "$to/" || return 1
  for f in system.reg user.reg userdef.reg; do
    cp --remove-destination "$from/$f" "$to/$f" || return 1
  done
}

# A test may have made a folder of the copy immutable (its read-only folder as root).
wine_prefix_remove() {
  rm -rf "$1" 2>/dev/null && return 0
  chattr -R -i "$1" 2>/dev/null
  rm -rf "$1"
}
