#!/usr/bin/env bash
# Long end-to-end check with the real XScreenSaver daemon (not part of CI): under a private Xvfb,
# an ordinary user (the daemon refuses to launch programs as root) runs xscreensaver with glimra
# as its only program; the test activates the saver, finds glimra drawing a moving picture in the
# daemon's window, deactivates it and checks that glimra ended and left no shared memory.
# Usage (as root): bash tools/x11-xscreensaver-e2e.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
user=glimra-e2e
fail() { echo "FAIL: $*" >&2; exit 1; }

bash tools/install-deps.sh
command -v xscreensaver >/dev/null || {
  apt-get update -qq && apt-get install -y -qq --no-install-recommends xscreensaver >/dev/null
}
cmake --preset native >/dev/null
cmake --build --preset native --target glimra-x11 >/dev/null
id "$user" >/dev/null 2>&1 || useradd -m "$user"
home=$(getent passwd "$user" | cut -d: -f6)

work=$(mktemp -d)
chmod 755 "$work"
install -m 755 build/native/x11/glimra "$work/glimra"
# shellcheck source=lib/xvfb.sh
source tools/lib/xvfb.sh
cleanup() {
  [ -n "${DISPLAY:-}" ] && su "$user" -c "DISPLAY=$DISPLAY xscreensaver-command -exit" \
    >/dev/null 2>&1 || true
  [ -n "${daemon:-}" ] && kill "$daemon" 2>/dev/null || true
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

# -ac: the daemon runs as another user; the server listens on a local socket only.
xvfb_start 800x600x24 -ac

cat >"$home/.xscreensaver" <<CONFIG
mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
timeout: 0:30:00
programs: $work/glimra --root \\n
CONFIG
chown "$user:" "$home/.xscreensaver"
su "$user" -c "DISPLAY=$DISPLAY xscreensaver --no-splash" >"$work/daemon.log" 2>&1 &
daemon=$!
sleep 3
su "$user" -c "DISPLAY=$DISPLAY xscreensaver-command -activate" >/dev/null

# glimra started by the daemon, and the window it was given.
pid=
for _ in $(seq 100); do
  pid=$(pgrep -u "$user" -f "^$work/glimra" | head -n 1 || true)
  [ -n "$pid" ] && break
  sleep 0.1
done
[ -n "$pid" ] || { cat "$work/daemon.log" >&2; fail "the daemon did not start glimra"; }
window=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[ -n "$window" ] || fail "glimra has no XSCREENSAVER_WINDOW"
echo "glimra $pid draws in $window: $(xwininfo -id "$window" | grep -E 'Width|Height' | xargs)"
sleep 1
import -window "$window" "$work/a.png"
sleep 0.5
import -window "$window" "$work/b.png"
colours=$(convert "$work/a.png" -format %k info:)
changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)
echo "picture: $colours colours, $changed pixels changed in 0.5 s"
[ "$colours" -gt 20 ] || fail "the saver window shows no rings"
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || fail "the picture does not move"

su "$user" -c "DISPLAY=$DISPLAY xscreensaver-command -deactivate" >/dev/null
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "glimra still runs after the saver was deactivated"
# ipcs's creator column is found by its heading, so that a changed layout fails here rather than
# reading as "none left".
left=$(ipcs -m -p | awk -v p="$pid" '
  /cpid/ { for (i = 1; i <= NF; ++i) if ($i == "cpid") col = i; next }
  col && $col == p { ++n }
  END { if (!col) exit 1; print n + 0 }') || fail "ipcs -m -p has no cpid column to read"
[ "$left" -eq 0 ] || fail "$left shared-memory segment(s) of glimra left"
grep -i "glimra" "$work/daemon.log" | tail -n 3 || true
echo "PASS: the daemon ran glimra in its window and stopped it cleanly"
