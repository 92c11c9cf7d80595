#!/usr/bin/env bash
# Prints the version from project(... VERSION ...) in CMakeLists.txt, the only place it is kept.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$(sed -nE 's/^project\(Glimra VERSION ([0-9][0-9.]*).*/\1/p' "$root/CMakeLists.txt")
if [ -z "$version" ]; then
  echo "project-version.sh: no project(Glimra VERSION ...) in CMakeLists.txt" >&2
  exit 1
fi
echo "$version"
