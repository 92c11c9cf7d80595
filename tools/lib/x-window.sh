# shellcheck shell=bash
# Looking at the windows of whichever private X server a script started (tools/lib/xvfb.sh or
# tools/lib/xorg.sh), sourced (not run); both servers' helpers source it.
#   x_find_window SECONDS SEARCH...  the first visible window matching every xdotool search
#                                    condition, waiting up to SECONDS; nothing when none appears
#   x_describe SHOT.png              prints the focus and the top-level windows, keeps a screenshot
#                                    (for a failure report)

# The search is repeated rather than left to xdotool's --sync: this xdotool ends with an X error
# when any window vanishes while it looks, which Wine's start-up does often.
x_find_window() {
  local deadline=$((SECONDS + $1)) found
  shift
  while :; do
    found=$(xdotool search --all --onlyvisible "$@" 2>/dev/null | head -n 1) || true
    [ -n "$found" ] && { echo "$found"; return 0; }
    ((SECONDS < deadline)) || return 0
    sleep 0.1
  done
}

x_describe() {
  echo "  focus: window $(xdotool getwindowfocus 2>/dev/null || echo none)"
  echo "  top-level windows (id, name, class, geometry; Wine's 1 x 1 helpers left out):"
  xwininfo -root -children 2>/dev/null | grep -E '^ +0x' | grep -v ' 1x1+' | head -n 20 |
    sed 's/^ */    /' || true
  if xwd -root -silent 2>/dev/null | /usr/bin/convert xwd:- "$1" 2>/dev/null; then
    echo "  screenshot: $1"
  fi
}
