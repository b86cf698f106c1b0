# Sourced by tests/run.sh and the run and benchmark scripts: brings up an X display
# (Xvfb on a free number when none is given), a private Wine prefix with a persistent
# wineserver, a second display without GLX, and a PulseAudio server with a null sink,
# and tears down only what it started.
#   bench_up BUILD_DIR    exports DISPLAY, WINEPREFIX, PULSE_SERVER, TILO_NOGLX_DISPLAY, ...
#   bench_down            stops what bench_up started (also installed as an EXIT trap)
# TILO_SCREEN sets the displays' size (default 1920x1080x24); TILO_OWN_DISPLAY=1 starts a
# display even when DISPLAY is set.

_bench_pids=()
_bench_wineserver=0
_bench_own_display=

_free_display() {
  local n=${1:-90}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}

_start_xvfb() {  # number, extra args...
  local n=$1; shift
  Xvfb ":$n" -screen 0 "${TILO_SCREEN:-1920x1080x24}" -nolisten tcp "$@" >/dev/null 2>&1 &
  _bench_pids+=($!)
  for _ in $(seq 1 100); do
    DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "bench: Xvfb :$n did not start" >&2
  return 1
}

bench_up() {
  local build=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX="$build/wineprefix"
  export WINEARCH=win64
  export TILO_BUILD_DIR="$build"
  trap bench_down EXIT
  trap 'exit 130' INT TERM

  if [ -z "${DISPLAY:-}" ] || [ -n "${TILO_OWN_DISPLAY:-}" ]; then
    local n; n=$(_free_display 90)
    _start_xvfb "$n" || return 1
    export DISPLAY=":$n"
    _bench_own_display=1
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
  _bench_pids+=($!)
  export PULSE_SERVER="unix:$TILO_PULSE_SOCKET"
  for _ in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl info >/dev/null 2>&1 || { echo "bench: PulseAudio did not start" >&2; return 1; }
  pactl set-default-sink tilo >/dev/null 2>&1 || true
  # Recording from the default source hears what the saver plays.
  pactl set-default-source tilo.monitor >/dev/null 2>&1 || true

  if [ ! -f "$WINEPREFIX/.tilo-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1 || true
    # A fault must reach the program's own guard: the system's fault report starts a
    # "debugger" that only exits, so the guard's handler is chosen, and no crash dialog.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'cmd.exe /c exit 0 %ld %ld' /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.tilo-ready"
  fi
  # A persistent server with every standard stream detached, so that no Wine service
  # keeps a test runner's pipe open.
  (wineserver -p; wine cmd /c exit) </dev/null >/dev/null 2>&1
  _bench_wineserver=1
  # No window manager runs on a display of our own: Wine would wait up to 2 s for one
  # to confirm each captioned window that hides (every dialog's end), so there Wine
  # manages its windows itself. On a desktop's display its window manager does.
  if [ -n "$_bench_own_display" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
  fi
}

# Configures BUILD_DIR for the Windows target when it has not been, and builds the
# targets named: the benchmark scripts' build step.
bench_build() {  # BUILD_DIR TARGET...
  local build=$1 top; shift
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
      -DTILO_DEPS_DIR="${TILO_DEPS_DIR:-$top/build/deps}" >/dev/null
  fi
  cmake --build "$build" -j2 --target "$@" >/dev/null
}

bench_down() {
  trap - EXIT
  if [ "$_bench_wineserver" = 1 ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    _bench_wineserver=0
  fi
  local p
  for p in "${_bench_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${_bench_pids[@]}"; do wait "$p" 2>/dev/null || true; done
  _bench_pids=()
}
