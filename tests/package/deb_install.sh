#!/usr/bin/env bash
# The Debian package: lintian finds no error; its file name matches its version and architecture;
# installed with apt, the savers answer --help and their manual pages are found; purged (always,
# also when a check fails), none of its files is left.
# Installs on this machine, so it needs root; a glimra installed before is purged first.
#   deb_install.sh GLIMRA.DEB
set -euo pipefail
deb=$(realpath "${1:?usage: deb_install.sh GLIMRA.DEB}")
# Other jobs on the machine may hold dpkg's lock: wait for it rather than fail.
apt() { flock /tmp/apt.lock apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@" >/dev/null; }
installed() { dpkg-query -W -f='${Status}' glimra 2>/dev/null | grep -q 'ok installed'; }

bad=0
lintian --fail-on error "$deb" >&2 ||
  { echo "lintian reports errors" >&2; bad=1; }
# Its name is the one its control fields give (version with revision, architecture).
named=glimra_$(dpkg-deb -f "$deb" Version)_$(dpkg-deb -f "$deb" Architecture).deb
[ "${deb##*/}" = "$named" ] || { echo "named ${deb##*/}, its fields say $named" >&2; bad=1; }

installed && apt purge glimra
trap 'installed && apt purge glimra' EXIT
apt install "$deb"
files=$(dpkg -L glimra)
/usr/libexec/xscreensaver/glimra --help >/dev/null || { echo "glimra --help failed" >&2; bad=1; }
[ "$(man -w 6 glimra)" = /usr/share/man/man6/glimra.6.gz ] || { echo "man -w 6 glimra" >&2; bad=1; }
/usr/bin/glimra-wayland --help >/dev/null || { echo "glimra-wayland --help failed" >&2; bad=1; }
[ "$(man -w 6 glimra-wayland)" = /usr/share/man/man6/glimra-wayland.6.gz ] ||
  { echo "man -w 6 glimra-wayland" >&2; bad=1; }

apt purge glimra
trap - EXIT
installed && { echo "still installed after purge" >&2; bad=1; }
while IFS= read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    echo "left after purge: $path" >&2
    bad=1
  fi
done <<<"$files"
[ ! -e /usr/share/doc/glimra ] || { echo "left after purge: /usr/share/doc/glimra" >&2; bad=1; }
exit "$bad"
