# shellcheck shell=bash
# A private headless sway for scripts and tests, sourced (not run). sway refuses to run as root,
# so under root it runs as the unprivileged system user glimra-sway (made on first use) in a
# runtime folder of its own; clients may stay root, which may open that user's socket.
#   sway_start WxH[@SCALE]...  starts it with one output per size, left to right, each filled with
#                              SWAY_BACKGROUND (default #FF00FF); exports XDG_RUNTIME_DIR,
#                              WAYLAND_DISPLAY and SWAYSOCK, sets SWAY_PID and SWAY_DIR; 1 and one
#                              line on stderr when it cannot start
#   sway_describe              prints those five as NAME=VALUE lines (for programs that run it)
#   sway_stop                  ends it (by its own PID, also one started by another shell) and
#                              removes its folder
# SWAY_NESTED=1 makes the outputs windows on the current Wayland display (a sway started here)
# instead of headless ones, whose sizes are that display's; closing one's window there takes the
# output away (sway 1.7 cannot disable or unplug a headless output). Direct scan-out is off
# (-D noscanout): with it a fullscreen client's output sometimes showed the background or an old
# frame.

SWAY_PID=
SWAY_DIR=
sway_user=glimra-sway

sway_config() {
  local x=0 i=1 output size scale
  echo "xwayland disable"
  echo "default_border none"
  for output in "$@"; do
    size=${output%@*} scale=1
    [[ $output == *@* ]] && scale=${output#*@}
    echo "output HEADLESS-$i resolution $size position $x,0 scale $scale" \
      "bg ${SWAY_BACKGROUND:-#FF00FF} solid_color"
    # Positions are in logical units: the next output starts at this one's width over its scale.
    x=$(awk -v x="$x" -v w="${size%x*}" -v s="$scale" 'BEGIN { printf "%d", x + w / s }')
    i=$((i + 1))
  done
}

# Under root, the unprivileged user that sway runs as, made on first use.
sway_user_ready() {
  [ "$(id -u)" -ne 0 ] && return 0
  id "$sway_user" >/dev/null 2>&1 && return 0
  useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$sway_user" ||
    { echo "cannot make the unprivileged user $sway_user for sway" >&2; return 1; }
}

sway_start() {
  [ $# -gt 0 ] || { echo "usage: sway_start WxH[@SCALE]..." >&2; return 1; }
  command -v sway >/dev/null || { echo "sway is not installed" >&2; return 1; }
  local deadline socket active as_user=()
  local backend=(WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=$#)
  [ -z "${SWAY_NESTED:-}" ] || backend=(WLR_BACKENDS=wayland WLR_WL_OUTPUTS=$#
    WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY")
  sway_user_ready || return 1
  [ "$(id -u)" -ne 0 ] ||
    as_user=(setpriv --reuid="$sway_user" --regid="$sway_user" --init-groups)
  SWAY_DIR=$(mktemp -d) || return 1
  sway_config "$@" >"$SWAY_DIR/config"
  [ "$(id -u)" -ne 0 ] || chown -R "$sway_user:" "$SWAY_DIR"
  chmod 700 "$SWAY_DIR"
  # A session of its own (setsid), so that it outlives a shell that started it for a program.
  "${as_user[@]}" setsid env -i PATH="$PATH" HOME="$SWAY_DIR" XDG_RUNTIME_DIR="$SWAY_DIR" \
    WLR_RENDERER=pixman "${backend[@]}" sway -c "$SWAY_DIR/config" -D noscanout \
    >"$SWAY_DIR/sway.log" 2>&1 &
  SWAY_PID=$!
  deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    socket=$(compgen -G "$SWAY_DIR/sway-ipc.*.sock" | head -n 1)
    active=$([ -z "$socket" ] ||
      SWAYSOCK=$socket swaymsg -t get_outputs -r 2>/dev/null | grep -c '"active": true')
    if [ -S "$SWAY_DIR/wayland-1" ] && [ "${active:-0}" -eq $# ]; then
      export XDG_RUNTIME_DIR=$SWAY_DIR WAYLAND_DISPLAY=wayland-1 SWAYSOCK=$socket
      return 0
    fi
    kill -0 "$SWAY_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "sway did not start with $# active outputs (swaymsg -t get_outputs listed" \
    "${active:-none} with \"active\": true): $(tail -n 1 "$SWAY_DIR/sway.log" 2>/dev/null)" >&2
  sway_stop
  return 1
}

sway_describe() {
  printf '%s\n' "SWAY_PID=$SWAY_PID" "SWAY_DIR=$SWAY_DIR" "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" \
    "WAYLAND_DISPLAY=$WAYLAND_DISPLAY" "SWAYSOCK=$SWAYSOCK"
}

sway_stop() {
  local deadline=$((SECONDS + 5))
  if [ -n "$SWAY_PID" ]; then
    kill "$SWAY_PID" 2>/dev/null || true
    wait "$SWAY_PID" 2>/dev/null || true
    while kill -0 "$SWAY_PID" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.05; done
  fi
  [ -n "$SWAY_DIR" ] && rm -rf "$SWAY_DIR"
  SWAY_PID=''
  SWAY_DIR=''
}
