# shellcheck shell=bash
# A private X server whose modes really switch and which can have several monitors side by side
# (Xorg with the dummy video driver), sourced (not run); -displayfd picks a free display number.
#   xorg_start MODE [MODE...]  starts it: the first MODE (e.g. 1024x768) is the primary monitor's
#                              (DUMMY0), each further one a monitor right of the one before;
#                              exports DISPLAY, sets XORG_PID; 1 and one line on stderr on failure
#   xorg_stop                  ends it (by its own PID) and waits for it
#   xorg_monitors              the monitors as they are now, in order: "DUMMY0 1024x768+0+0 ..."
#   xorg_refresh_rate          the refresh rate of the primary's current mode ("55.01"); 1 and
#                              one line on stderr where xrandr marks none
# XORG_MODES   the modes the server offers (names WxH, W a multiple of 8), default below; the
#              MODEs asked for are added to it. A list without 640x480 gives a display that
#              cannot switch to it.
# XORG_DIR     the folder for its config and log (default: a new temporary folder, removed by
#              xorg_stop); XORG_LOG is set to the log's path.
# Its windows are looked at with x_find_window and x_describe (tools/lib/x-window.sh).

# shellcheck source=x-window.sh
source "$(dirname "${BASH_SOURCE[0]}")/x-window.sh"

XORG_PID=
XORG_LOG=
xorg_own_dir=
xorg_default_modes="640x480 800x600 1024x768 1152x864 1280x720 1280x800 1280x1024 1440x900
  1600x900 1680x1050 1920x1080"

xorg_start() {
  [ $# -gt 0 ] || { echo "usage: xorg_start MODE [MODE...]" >&2; return 1; }
  local modes=() m number_file deadline number
  # shellcheck disable=SC2206  # the list is split at blanks and newlines
  modes=(${XORG_MODES:-$xorg_default_modes})
  for m in "$@"; do
    [[ " ${modes[*]} " == *" $m "* ]] || modes+=("$m")
  done
  if [ -z "${XORG_DIR:-}" ]; then
    XORG_DIR=$(mktemp -d) && xorg_own_dir=$XORG_DIR
  fi
  mkdir -p "$XORG_DIR/conf.d"
  XORG_LOG=$XORG_DIR/xorg.log
  xorg_config "$1" "${modes[@]}" >"$XORG_DIR/xorg.conf" || return 1
  number_file=$XORG_DIR/display-number
  : >"$number_file"
  # The server writes its display number to fd 9 once it accepts connections. An empty config
  # folder keeps the machine's own snippets out.
  Xorg -config "$XORG_DIR/xorg.conf" -configdir "$XORG_DIR/conf.d" -logfile "$XORG_LOG" \
    -displayfd 9 -noreset -nolisten tcp 9>"$number_file" >/dev/null 2>&1 &
  XORG_PID=$!
  deadline=$((SECONDS + 20))
  while [ ! -s "$number_file" ]; do
    if ! kill -0 "$XORG_PID" 2>/dev/null || ((SECONDS >= deadline)); then
      xorg_fail "Xorg did not start"
      return 1
    fi
    sleep 0.1
  done
  number=$(head -n 1 "$number_file")
  export DISPLAY=":$number"
  xorg_place_monitors "$@" || return 1
}

# Each further monitor gets its mode and is placed right of the one before; xrandr also shrinks
# the screen from the config's Virtual size to the monitors' bounding box.
xorg_place_monitors() {
  local out i=1 deadline err
  err=$(xrandr --output DUMMY0 --mode "$1" --pos 0x0 2>&1) || {
    xorg_fail "xrandr could not set DUMMY0 to $1: $err"
    return 1
  }
  shift
  for m in "$@"; do
    out=DUMMY$i
    err=$({ xrandr --addmode "$out" "$m" &&
      xrandr --output "$out" --mode "$m" --right-of "DUMMY$((i - 1))"; } 2>&1) || {
      xorg_fail "xrandr could not add monitor $out ($m): $err"
      return 1
    }
    i=$((i + 1))
  done
  deadline=$((SECONDS + 10))
  until [ "$(xrandr --listmonitors 2>/dev/null | sed -n 's/^Monitors: //p')" = "$i" ]; do
    if ((SECONDS >= deadline)); then
      xorg_fail "xrandr --listmonitors never showed $i monitors"
      return 1
    fi
    sleep 0.1
  done
}

# The config: a dummy card with no input devices, one Modeline per mode (from gtf, renamed to
# WxH), the start mode first. The server adds its own built-in modes to those named, unless the
# monitor's refresh range refuses them: the modes are made for 55 Hz and the range is that
# within 1 % (the server's tolerance), where no built-in mode lies. So a list without 640x480
# really cannot switch to it. No Virtual size (with one, built-in modes that fit in it come
# back): the card's memory alone bounds the screen, with room for three monitors of the largest.
xorg_config() {
  local start=$1 m w h max_w=0 max_h=0 lines=() names=("\"$1\"")
  shift
  for m in "$@"; do
    w=${m%x*} h=${m#*x}
    if ! [[ $m =~ ^[0-9]+x[0-9]+$ ]] || ((w % 8)); then
      echo "xorg_start: mode $m is not WxH with W a multiple of 8" >&2
      return 1
    fi
    lines+=("  Modeline \"$m\" $(gtf "$w" "$h" 55 | sed -n 's/^ *Modeline "[^"]*" *//p')")
    [ "$m" = "$start" ] || names+=("\"$m\"")
    ((w > max_w)) && max_w=$w
    ((h > max_h)) && max_h=$h
  done
  cat <<EOF
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam $((3 * max_w * max_h * 4 / 1024 + 1024))
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 1.0-1000.0
  VertRefresh 54.99-55.01
$(printf '%s\n' "${lines[@]}")
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes ${names[*]}
  EndSubSection
EndSection
EOF
}

# From xrandr's " 0: +*DUMMY0 1024/271x768/203+0+0  DUMMY0": "DUMMY0 1024x768+0+0".
xorg_monitors() {
  xrandr --listmonitors |
    sed -n 's/^ *[0-9]*: [+*]*\([^ ]*\) \([0-9]*\)\/[0-9]*x\([0-9]*\)\/[0-9]*\(+[0-9+]*\).*/\1 \2x\3\4/p' |
    paste -sd ' '
}

# From xrandr's "   640x480       55.01*+": the rate marked current on the first monitor listed.
xorg_refresh_rate() {
  local rate
  rate=$(xrandr --current | awk '/\*/ { for (i = 2; i <= NF; i++) if ($i ~ /\*/) {
    sub(/[*+]+/, "", $i); print $i; exit } }')
  [[ $rate =~ ^[0-9]+(\.[0-9]+)?$ ]] && { echo "$rate"; return 0; }
  echo "xrandr marks no refresh rate as the current mode's (read: '$rate')" >&2
  return 1
}

xorg_fail() {
  echo "$1 (log: $XORG_LOG)" >&2
  xorg_stop keep
}

# xorg_stop keep: leaves the folder it made (the failure's log stays readable).
xorg_stop() {
  if [ -n "$XORG_PID" ]; then
    kill "$XORG_PID" 2>/dev/null || true
    wait "$XORG_PID" 2>/dev/null || true
    XORG_PID=
  fi
  if [ -n "$xorg_own_dir" ] && [ "${1:-}" != keep ]; then
    rm -rf "$xorg_own_dir"
    XORG_DIR="" xorg_own_dir=""
  fi
}
