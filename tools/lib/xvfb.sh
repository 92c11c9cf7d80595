# shellcheck shell=bash
# A private X server for scripts and tests, sourced (not run): the server picks a free display
# number itself (-displayfd), so two runs on one machine never take the same display.
#   xvfb_start WxHxD [XVFB_ARGS...]  starts it; exports DISPLAY, sets XVFB_PID; 1 when it fails
#   xvfb_stop                        ends it (by its own PID) and waits for it
# XVFB_LOG names a file for the server's messages (default: none kept). Its windows are looked
# at with x_find_window and x_describe (tools/lib/x-window.sh, sourced here).

# shellcheck source=x-window.sh
source "$(dirname "${BASH_SOURCE[0]}")/x-window.sh"

XVFB_PID=

xvfb_start() {
  local geometry=${1:?usage: xvfb_start WxHxD [XVFB_ARGS...]} number_file deadline number
  shift
  number_file=$(mktemp)
  # The server writes its display number to fd 9 once it accepts connections.
  Xvfb -displayfd 9 -screen 0 "$geometry" -nolisten tcp "$@" 9>"$number_file" \
    >>"${XVFB_LOG:-/dev/null}" 2>&1 &
  XVFB_PID=$!
  deadline=$((SECONDS + 15))
  while ((SECONDS < deadline)); do
    if [ -s "$number_file" ]; then
      number=$(head -n 1 "$number_file")
      rm -f "$number_file"
      export DISPLAY=":$number"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  echo "Xvfb did not start (${XVFB_LOG:-no log kept})" >&2
  xvfb_stop
  return 1
}

xvfb_stop() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
