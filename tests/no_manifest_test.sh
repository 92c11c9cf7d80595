#!/usr/bin/env bash
# glimra.scr carries no application manifest: an execution level in one would end the file
# virtualisation that the INI file in the Windows folder relies on, and declaring Windows 8 or
# later would have Windows refuse the 8-bit display modes. Some MinGW toolchains link a default
# manifest into every program; this catches one.
#   tests/no_manifest_test.sh OBJDUMP PROGRAM
set -uo pipefail
objdump=$1 program=$2
listing=$("$objdump" -p "$program") || { echo "FAIL: $objdump could not read $program"; exit 1; }
types=$(sed -n '/The .rsrc Resource Directory/,$p' <<<"$listing" | grep -E '^0[0-9a-f]{2}   Entry: ID:')
[ -n "$types" ] || { echo "FAIL: no resource types found in $program (no icon either?)"; exit 1; }
if grep -q 'ID: 0x000018,' <<<"$types"; then
  echo "FAIL: $program has a manifest resource (type 24)"
  exit 1
fi
echo "no manifest among the resource types: $(awk '{print $4}' <<<"$types" | tr -d , | tr '\n' ' ')"
