#!/usr/bin/env bash
# One end-to-end run of the configuration dialog under Wine on its own X server:
#   dialog_e2e.sh SCENARIO PROGRAM PROBE ARTIFACTS PREFIX
# PROGRAM (glimra.scr) is started with the scenario's command tail and shows the dialog; PROBE
# (dialog_probe.exe) reads the controls from outside; the settings file is checked in the prefix's
# Windows folder; screenshots go to ARTIFACTS. Scenarios:
#   open-c-ok            "/c": the defaults are shown; Enter (OK) writes the eight keys in order
#   open-empty-esc       empty tail: the dialog opens; Esc writes nothing
#   stored-out-of-range  pal 9, cir 7, dx_r -1 stored: shown as no selection, 3 and 100; OK keeps
#                        pal 9 and writes the shown ends
#   no-browser           the browser cannot start: the warning shows once; afterwards OK works
#   other-locale         the C locale: the palette names and the warning read right, in English
#   english              en_US: caption, labels and buttons in English (no "?", nothing else);
#                        the English palette names; Enter (OK) writes the eight keys in order
set -euo pipefail
scenario=$1
program=$(realpath "$2")
probe=$(realpath "$3")
artifacts=$4
prefix=$(realpath -m "$5")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
mkdir -p "$artifacts"

# shellcheck source=../../../tools/lib/xorg.sh
source "$here/tools/lib/xorg.sh"
# shellcheck source=../../../tools/lib/wine-prefix.sh
source "$here/tools/lib/wine-prefix.sh"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# The Wine of the program's architecture, in a prefix made once.
wine_select "$program"
wine=$WINE
wine_prefix_ensure "$prefix"
ini=$prefix/drive_c/windows/Tovalesk.ini

# Our own display; everything started here is ended by its own PID or through this prefix.
work=$(mktemp -d)
program_pid=""
cleanup() {
  set +e
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  xorg_stop
  rm -rf "$work"
}
trap cleanup EXIT
XORG_DIR=$work xorg_start 1024x768 || exit 1

# The prefix is taught to draw the template's font with IPA P Gothic; the font's Japanese name
# only survives the command line under the Japanese locale.
if [ ! -f "$prefix/.glimra-dialog-ready" ]; then
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f \
    >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.glimra-dialog-ready"
fi
# Wine's desktop process belongs to the prefix's server and keeps the display it was started
# with, so every run starts a fresh server on its own display.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

fail() {
  echo "FAIL ($scenario): $*" >&2
  [ -f "$work/state" ] && sed 's/^/  /' "$work/state" >&2
  [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    echo "  the program is still running" >&2
  elif [ -n "$program_pid" ]; then
    local code=0
    wait "$program_pid" || code=$?
    echo "  the program has ended with exit code $code" >&2
  fi
  x_describe "$artifacts/failure-$scenario.png" >&2
  exit 1
}
# Console output of a Windows program ends its lines with CRLF.
probe() { timeout 30 "$wine" "$probe" "$@" | tr -d '\r'; }
screenshot() { import -window root "$artifacts/$1.png" || fail "no screenshot"; }
start() {
  timeout 120 "$wine" "$program" "$@" >"$work/program.log" 2>&1 &
  program_pid=$!
  probe wait || fail "the dialog did not open"
}
# Presses KEY until the program ends (a key pressed before Wine has given the new dialog the
# keyboard focus is lost), then checks its exit code.
press_to_end() {
  for _ in $(seq 5); do
    xdotool key "$1"
    for _ in $(seq 20); do
      kill -0 "$program_pid" 2>/dev/null || break 2
      sleep 0.1
    done
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program is still running"
  local code=0
  wait "$program_pid" || code=$?
  program_pid=""
  [ "$code" -eq 0 ] || fail "exit code $code"
}
state() { probe state >"$work/state" || fail "no state"; }
expect() {
  for line in "$@"; do grep -qxF "$line" "$work/state" || fail "expected '$line'"; done
}
# The settings file, CRLF lines, as the private-profile functions write it.
ini_text() {
  printf '[Glimra ScreenSaver]\r\n'
  for line in "$@"; do printf '%s\r\n' "$line"; done
}
expect_ini() {
  [ -f "$ini" ] || fail "no settings file"
  cmp -s "$ini" <(ini_text "$@") || fail "settings file: $(tr '\r\n' ' |' <"$ini")"
}
wait_warning() {
  for _ in $(seq 100); do
    probe warnings >"$work/warnings"
    [ -s "$work/warnings" ] && return 0
    sleep 0.1
  done
  fail "no warning"
}

readonly palette='palette=アニメーション,シフト,固定,紅葉,若葉,水面,桜'
readonly warning='warning=Glimra スクリーンセーバー|HTTPブラウザを起動できませんでした。'
readonly palette_en='palette=Animation,Shift,Fixed,Autumn leaves,Young leaves,Water surface,Cherry blossom'
readonly warning_en='warning=Glimra Screen Saver|The web browser could not be started.'
readonly defaults=(dx_r=5 dx_g=10 dx_b=3 one=1 pal=1 cir=1 cycle=1 direct_x=0)
rm -f "$ini"

case $scenario in
  open-c-ok)
    start /c
    state
    expect 'caption=グリムラの設定' 'cir=1 of 0..3' 'dx_r=5 of 0..100' 'dx_g=10 of 0..100' \
      'dx_b=3 of 0..100' 'cycle=1 of 1..20' enlarge=1 tile=0 direct_x=0 "$palette" selection=0 \
      'control=100|トヴァレスク・ワークスのHPへGO!'
    screenshot dialog-open
    press_to_end Return
    expect_ini "${defaults[@]}"
    ;;
  open-empty-esc)
    start
    screenshot dialog-empty-tail
    press_to_end Escape
    [ ! -e "$ini" ] || fail "Esc wrote the settings file"
    ;;
  stored-out-of-range)
    ini_text dx_r=-1 dx_g=10 dx_b=3 one=0 pal=9 cir=7 cycle=1 direct_x=1 >"$ini"
    start /c
    state
    expect 'cir=3 of 0..3' 'dx_r=100 of 0..100' enlarge=0 tile=1 direct_x=1 selection=-1
    press_to_end Return
    expect_ini dx_r=100 dx_g=10 dx_b=3 one=0 pal=9 cir=3 cycle=1 direct_x=1
    ;;
  no-browser)
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
    start /c
    probe click 100
    wait_warning
    [ "$(cat "$work/warnings")" = "$warning" ] || fail "warning: $(cat "$work/warnings")"
    screenshot dialog-no-browser
    for _ in $(seq 5); do  # Enter closes the message box
      xdotool key Return
      for _ in $(seq 10); do
        probe warnings >"$work/warnings"
        [ -s "$work/warnings" ] || break 2
        sleep 0.2
      done
    done
    [ -s "$work/warnings" ] && fail "the warning did not close"
    [ -e "$ini" ] && fail "the failed start wrote the settings file"
    state
    expect "$palette" selection=0
    press_to_end Return
    expect_ini "${defaults[@]}"
    ;;
  other-locale)
    export LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
    start /c
    state
    expect "$palette_en" selection=0
    probe click 100
    wait_warning
    [ "$(cat "$work/warnings")" = "$warning_en" ] || fail "warning: $(cat "$work/warnings")"
    screenshot dialog-other-locale
    ;;
  english)
    export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
    start /c
    state
    expect 'caption=Glimra settings' 'control=1|OK' 'control=2|Cancel' 'control=-1|Many' \
      'control=100|Display' 'control=103|Enlarged' 'control=104|Tiled' 'control=108|Use DirectX' \
      'control=100|Visit the Tovalesk Works home page' "$palette_en" selection=0
    # Every text is plain English: no "?" from a code page, no Japanese left. (The picture's static
    # holds the picture's resource number, 0xFFFF 102, instead of a text.)
    LC_ALL=C grep -v '^control=-1|[^ -~]*f$' "$work/state" | LC_ALL=C grep -n '[?]\|[^ -~]' &&
      fail "a text is not plain English"
    screenshot dialog-english
    press_to_end Return
    expect_ini "${defaults[@]}"
    ;;
  *)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
