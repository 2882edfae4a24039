# Sourced by the scripts: a private Wine world under the build folder.
#   start_wine_env BUILD_DIR [xvfb|display]   sets WINEPREFIX, HOME, XDG_RUNTIME_DIR, DISPLAY,
#                                             starts Xvfb (when asked or when no display is set),
#                                             a PulseAudio null sink, a persistent wineserver and
#                                             the keeper; stop_wine_env stops all of it by PID
#                                             (and any process added to _started_pids), also
#                                             when the script fails or is interrupted.

_started_pids=()

_start_xvfb() {
  # Xvfb picks a free display itself and writes its number to fd 3: no race with other servers
  # started at the same moment.
  local number_file="$VO_ENV_DIR/xvfb.display"
  rm -f "$number_file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" 9>&- >"$VO_ENV_DIR/xvfb.log" 2>&1 &
  local pid=$!
  for _ in $(seq 1 100); do
    if [ -s "$number_file" ]; then
      _started_pids+=("$pid")
      export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
      VO_OWN_XVFB=1
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "wine-env: could not start Xvfb (see $VO_ENV_DIR/xvfb.log)" >&2
  return 1
}

_start_pulse() {
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  # A null sink plays in real time without a sound card; its own log keeps the root warnings away.
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=nullsink" --load=module-native-protocol-unix \
    >"$VO_ENV_DIR/pulse.log" 2>&1 9>&- &
  _started_pids+=("$!")
  for _ in $(seq 1 50); do
    [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && return 0
    sleep 0.1
  done
  # Without it the music and sound tests would find no device and prove nothing.
  echo "wine-env: PulseAudio did not start (see $VO_ENV_DIR/pulse.log)" >&2
  return 1
}

boot_wine_prefix() {
  mkdir -p "$VO_ENV_DIR"
  if [ ! -f "$WINEPREFIX/.vo-ready" ]; then
    rm -rf "$WINEPREFIX"
    wine wineboot -i >"$VO_ENV_DIR/wineboot.log" 2>&1
    # A crash must end the process with a failure code, never wait in a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vo-ready"
  fi
}

set_wine_vars() {
  VO_ENV_DIR="$1/env"
  export WINEPREFIX="$VO_ENV_DIR/wine-prefix"
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export HOME="$VO_ENV_DIR/home"
  export XDG_RUNTIME_DIR="$VO_ENV_DIR/xdg"
  # Mesa's software renderer starts a thread per core in every device; tests run in parallel.
  export LP_NUM_THREADS=${LP_NUM_THREADS:-2}
  mkdir -p "$HOME"
}

start_wine_env() {
  local build_dir=$1 display_mode=${2:-xvfb}
  set_wine_vars "$build_dir"
  # Armed before the first process starts, so a failure on the way stops what did start.
  trap stop_wine_env EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  VO_OWN_XVFB=0
  if [ "$display_mode" = xvfb ] || [ -z "${DISPLAY:-}" ]; then
    _start_xvfb
  fi
  _start_pulse
  boot_wine_prefix
  wineserver -p </dev/null >/dev/null 2>&1 9>&-
  # The keeper must not hold any pipe of ours, or ctest waits for it.
  wine "$build_dir/tests/keeper.exe" </dev/null >/dev/null 2>&1 9>&- &
  _started_pids+=("$!")
  # The first program of a fresh server brings up Wine's desktop; let that happen here, once,
  # rather than inside the first test that ctest starts.
  local attempt
  for attempt in 1 2 3; do
    timeout 60 wine "$build_dir/tests/child_program.exe" exit 0 </dev/null >/dev/null 2>&1 && break
    echo "wine-env: warm-up attempt $attempt did not finish" >&2
  done
}

stop_wine_env() {
  local pid
  wineserver -k >/dev/null 2>&1 || true
  for pid in "${_started_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
  done
  for pid in "${_started_pids[@]}"; do
    wait "$pid" >/dev/null 2>&1 || true
  done
  _started_pids=()
}
