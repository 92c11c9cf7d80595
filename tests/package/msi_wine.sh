#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh 64-bit prefix with wine64's msiexec, silent as an
# administrator deploys it: the program-only feature, also through an upgrade; the full install
# (file, Add/Remove entry, current saver); the same package again; where 32-bit programs run, the
# installed saver with /s; an upgrade, and no downgrade; the uninstall, which keeps the user's
# Tovalesk.ini and a screen saver that the user chose after the install; upgrades that keep what
# the user chose since the install (another saver, none, the saver turned off).
#   msi_wine.sh GLIMRA.MSI GLIMRA.SCR VERSION
set -euo pipefail
usage="usage: msi_wine.sh GLIMRA.MSI GLIMRA.SCR VERSION"
msi=$(realpath "${1:?$usage}")
scr=$(realpath "${2:?$usage}")
version=${3:?$usage}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$root/build/package-tests/msi
rm -rf "$work" && mkdir -p "$work"

# shellcheck source=tools/lib/wine-prefix.sh
source "$root/tools/lib/wine-prefix.sh"
W=$WINE
unset DISPLAY # the installer needs none
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
bad=0
check() { # check DESCRIPTION COMMAND...: notes a failed check and goes on
  local what=$1
  shift
  "$@" || { echo "FAILED: $what" >&2; bad=1; }
}

wine_prefix_ensure "$work/prefix"
windows=$WINEPREFIX/drive_c/windows
installed_scr=$windows/syswow64/glimra.scr

fails() { ! "$@"; }
msiexec() { # msiexec /i|/x PACKAGE [PROPERTIES...]
  local action=$1 package=$2
  shift 2
  timeout 300 "$W" msiexec "$action" "Z:${package//\//\\}" /qn "$@" >/dev/null 2>&1
}
reg_value() { # reg_value KEY NAME: the value's data, or nothing
  "$W" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}
desktop='HKCU\Control Panel\Desktop'
# The Add/Remove entries named Glimra, one line each: "DisplayVersion|Publisher".
arp_entries() {
  "$W" reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    2>/dev/null | tr -d '\r' | awk '
      /^HKEY/ { if (name == "Glimra") print ver "|" pub; name = ver = pub = "" }
      $1 == "DisplayName" { sub(/^ *[^ ]+ +REG_SZ +/, ""); name = $0 }
      $1 == "DisplayVersion" { sub(/^ *[^ ]+ +REG_SZ +/, ""); ver = $0 }
      $1 == "Publisher" { sub(/^ *[^ ]+ +REG_SZ +/, ""); pub = $0 }
      END { if (name == "Glimra") print ver "|" pub }'
}
one_entry() { [ "$(arp_entries)" = "$1|The Glimra authors" ]; }
no_desktop_values() {
  [ -z "$(reg_value "$desktop" SCRNSAVE.EXE)" ] && [ -z "$(reg_value "$desktop" ScreenSaveActive)" ]
}

set_desktop_value() { # set_desktop_value NAME DATA: an empty DATA deletes the value
  if [ -n "$2" ]; then
    "$W" reg add "$desktop" /v "$1" /d "$2" /f >/dev/null 2>&1
  else
    "$W" reg delete "$desktop" /v "$1" /f >/dev/null 2>&1 || true
  fi
}
ours='C:\windows\syswow64\glimra.scr'

# The checks that a value or an entry is gone trust the readers above to see what is there: a
# value and an Add/Remove entry written here must read back (and be gone once deleted) before an
# empty answer is believed; otherwise a `reg query` whose output has changed would pass them.
uninstall='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\GlimraProbe'
readers_work() {
  local seen entry gone
  set_desktop_value GlimraProbe 'probe value'
  "$W" reg add "$uninstall" /v DisplayName /d Glimra /f >/dev/null 2>&1
  "$W" reg add "$uninstall" /v DisplayVersion /d 0.0.1 /f >/dev/null 2>&1
  "$W" reg add "$uninstall" /v Publisher /d 'The probe' /f >/dev/null 2>&1
  seen=$(reg_value "$desktop" GlimraProbe) entry=$(arp_entries)
  set_desktop_value GlimraProbe ''
  "$W" reg delete "$uninstall" /f >/dev/null 2>&1 || true
  gone=$(reg_value "$desktop" GlimraProbe)$(arp_entries)
  [ "$seen|$entry|$gone" = "probe value|0.0.1|The probe|" ] && return
  echo "reg query's answers are not in the form this test reads (a value read back as" \
    "[$seen], an Add/Remove entry as [$entry], after deleting both [$gone])" >&2
  return 1
}
readers_work || exit 1

# A newer version, for the upgrades.
IFS=. read -r major minor _ <<<"$version"
newer="$major.$((minor + 1)).0"
bash "$root/tools/build-msi.sh" "$newer" "$scr" "$work/newer.msi"

# The program alone: no Control Panel value, also after a plain upgrade.
check "install ADDLOCAL=Program" msiexec /i "$msi" ADDLOCAL=Program
check "program-only install puts glimra.scr" cmp -s "$installed_scr" "$scr"
check "program-only install writes no Control Panel value" no_desktop_values
check "plain upgrade of the program-only install" msiexec /i "$work/newer.msi"
check "program-only upgrade writes no Control Panel value" no_desktop_values
check "one Add/Remove entry after the program-only upgrade" one_entry "$newer"
check "uninstall of the program-only install" msiexec /x "$work/newer.msi"
check "glimra.scr removed" test ! -e "$installed_scr"

# Everything.
check "install" msiexec /i "$msi"
check "installed glimra.scr is the build's" cmp -s "$installed_scr" "$scr"
check "one Add/Remove entry, version $version" one_entry "$version"
icon=$(find "$windows/Installer" -name glimra.ico | head -n 1)
check "Add/Remove icon is icon 103" cmp -s "${icon:-/nonexistent}" "$root/resources/glimra.ico"
check "SCRNSAVE.EXE" test "$(reg_value "$desktop" SCRNSAVE.EXE)" = "$ours"
check "ScreenSaveActive" test "$(reg_value "$desktop" ScreenSaveActive)" = 1
check "same package again" msiexec /i "$msi"
check "still one Add/Remove entry" one_entry "$version"

if wine_can_run_32bit; then
  check "installed saver runs with /s and ends on a key" \
    bash "$root/tests/package/run_installed_saver.sh" "$installed_scr" "$work"
else
  echo "skipped: this kernel cannot run 32-bit programs, so the installed saver is not started" >&2
fi

# A newer version replaces this one in place, and Glimra stays the saver, named by the newer
# package (the name in another spelling first, as another program might have written it); this
# one cannot then replace the newer one.
set_desktop_value SCRNSAVE.EXE 'C:\WINDOWS\SysWOW64\GLIMRA.SCR'
check "upgrade to $newer" msiexec /i "$work/newer.msi"
check "one Add/Remove entry, version $newer" one_entry "$newer"
check "still the saver after the upgrade, by the newer package's name" \
  test "$(reg_value "$desktop" SCRNSAVE.EXE)" = "$ours"
check "ScreenSaveActive after the upgrade" test "$(reg_value "$desktop" ScreenSaveActive)" = 1
check "downgrade refused" fails msiexec /i "$msi"
check "still $newer after the refused downgrade" one_entry "$newer"

# The user's settings meanwhile; uninstalling leaves them as they are.
printf '[Glimra ScreenSaver]\r\npal=3\r\ncir=2\r\n' >"$windows/Tovalesk.ini"
cp "$windows/Tovalesk.ini" "$work/Tovalesk.ini.before"
check "uninstall" msiexec /x "$work/newer.msi"
check "glimra.scr removed" test ! -e "$installed_scr"
check "Add/Remove entry removed" test -z "$(arp_entries)"
check "SCRNSAVE.EXE removed" test -z "$(reg_value "$desktop" SCRNSAVE.EXE)"
check "Tovalesk.ini unchanged" cmp -s "$windows/Tovalesk.ini" "$work/Tovalesk.ini.before"

# A saver that the user chose after the install stays chosen when Glimra goes.
other='C:\windows\system32\other.scr'
check "install again" msiexec /i "$msi"
"$W" reg add "$desktop" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1
check "uninstall again" msiexec /x "$msi"
check "the saver chosen since stays" test "$(reg_value "$desktop" SCRNSAVE.EXE)" = "$other"

# What the user chose after a full install stays chosen through an upgrade: each case is
# "what|SCRNSAVE.EXE|ScreenSaveActive" (empty: no value).
choices=(
  "another saver|$other|1"
  "no screen saver||0"
  "Glimra turned off|$ours|0"
)
for choice in "${choices[@]}"; do
  IFS='|' read -r what saver active <<<"$choice"
  check "install ($what)" msiexec /i "$msi"
  set_desktop_value SCRNSAVE.EXE "$saver"
  set_desktop_value ScreenSaveActive "$active"
  check "upgrade ($what)" msiexec /i "$work/newer.msi"
  check "one Add/Remove entry after the upgrade ($what)" one_entry "$newer"
  check "SCRNSAVE.EXE kept ($what)" test "$(reg_value "$desktop" SCRNSAVE.EXE)" = "$saver"
  check "ScreenSaveActive kept ($what)" test "$(reg_value "$desktop" ScreenSaveActive)" = "$active"
  check "uninstall ($what)" msiexec /x "$work/newer.msi"
done
exit "$bad"
