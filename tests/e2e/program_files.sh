#!/usr/bin/env bash
# The programs themselves: build/win32/glimra.scr is a 32-bit (i386) GUI executable and the win64
# twin an x86-64 one, each with icon 103, one 32 x 32 image in 16 colours.
E2E_NAME=program_files
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

win32_scr=$(dirname "$GLIMRA_WIN_BUILD")/win32/glimra.scr
check() {  # PROGRAM "file" DESCRIPTION
  local kind
  kind=$(file -b "$1")
  [[ $kind == "$2"* ]] || fail "$1 is '$kind', not '$2'"
  rm -f "$WORK/icon.txt"
  "$WINE64" "$HOST_EXE" icon 'Z:'"$1" 'Z:'"$WORK/icon.txt" >/dev/null 2>&1 || true
  file_has "$WORK/icon.txt" '^images=1 32x32 colours=16$' 5 ||
    fail "$1: icon 103 is '$(cat "$WORK/icon.txt" 2>/dev/null)'"
  log "$1: $2, icon 103 with one 32x32 image in 16 colours"
}
check "$SCR" "PE32+ executable (GUI) x86-64"
if [ -f "$win32_scr" ]; then
  check "$win32_scr" "PE32 executable (GUI) Intel 80386"
else
  log "no $win32_scr: build the win32 preset to check the product itself"
fi
log "PASS"
