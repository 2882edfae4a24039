# Sourced after wine-env.sh: a second Wine world whose X server shows two displays side by side,
# for the tests of the saver on several displays. Xvfb has a single output, so this world runs the
# X.Org server with its dummy driver and gives a second output a mode with xrandr: Wine then sees
# two monitors and Direct3D two adapters, each with its own modes.
#   start_two_display_env BUILD_DIR   its own prefix, sound server and keeper under
#                                     BUILD_DIR/two-displays/env; stop_wine_env stops all of it.

# Display 1 and display 2, left to right.
VO_FIRST_DISPLAY_MODE=1280x1024
VO_SECOND_DISPLAY_MODELINE=(1024x768_60 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync)

_start_xorg_two_displays() {
  local config="$VO_ENV_DIR/xorg.conf" number_file="$VO_ENV_DIR/xorg.display"
  cat >"$config" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
CONF
  rm -f "$number_file"
  Xorg -displayfd 3 -noreset -config "$config" -logfile "$VO_ENV_DIR/xorg.log" -nolisten tcp \
    3>"$number_file" >"$VO_ENV_DIR/xorg.out" 2>&1 &
  local pid=$!
  _started_pids+=("$pid")
  for _ in $(seq 1 100); do
    [ -s "$number_file" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$number_file" ]; then
    echo "two-displays: the X server did not start (see $VO_ENV_DIR/xorg.log)" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
  local second=${VO_SECOND_DISPLAY_MODELINE[0]}
  xrandr --newmode "${VO_SECOND_DISPLAY_MODELINE[@]}" &&
    xrandr --addmode DUMMY1 "$second" &&
    xrandr --output DUMMY0 --mode "$VO_FIRST_DISPLAY_MODE" --pos 0x0 \
      --output DUMMY1 --mode "$second" --right-of DUMMY0 || {
    echo "two-displays: xrandr could not set up the second display" >&2
    return 1
  }
  if ! xrandr --listmonitors | grep -q '^Monitors: 2$'; then
    echo "two-displays: the X server shows $(xrandr --listmonitors | head -n 1), not two monitors" >&2
    return 1
  fi
}

start_two_display_env() {
  local build_dir=$1
  set_wine_vars "$build_dir/two-displays"
  mkdir -p "$VO_ENV_DIR"
  # Armed before the first server starts, so a failure on the way stops what did start.
  trap stop_wine_env EXIT
  _start_xorg_two_displays
  _start_pulse
  boot_wine_prefix
  wineserver -p </dev/null >/dev/null 2>&1
  wine "$build_dir/tests/keeper.exe" </dev/null >/dev/null 2>&1 &
  _started_pids+=("$!")
  timeout 60 wine "$build_dir/tests/child_program.exe" exit 0 </dev/null >/dev/null 2>&1 ||
    echo "two-displays: warm-up did not finish" >&2
}
