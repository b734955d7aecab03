#!/usr/bin/env bash
# The import check passes the program in the release zip and refuses a
# program that needs the compiler's runtime DLLs. The second case links a
# probe against those DLLs on purpose, the way a build without -static does;
# the build links the probe both ways.
# Usage: imports_test.sh <release zip> <probe linked to the DLLs> <probe linked statically> <work folder>
set -euo pipefail

zip=$1
dynamic=$2
static=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd -P)
check="$here/../../scripts/check-imports.sh"

rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip" Chronoseq.exe -d "$work"
cp "$dynamic" "$work/dynamic.exe"
cp "$static" "$work/static.exe"

status=0
# program | expected exit | DLLs the listing must name | DLLs the complaint must name
while IFS='|' read -r program expected listed refused; do
  got=0
  "$check" "$work/$program" >"$work/out" 2>"$work/err" || got=$?
  if [ "$got" != "$expected" ]; then
    echo "FAILED: $program: exit $got, expected $expected"; cat "$work/out" "$work/err"; status=1
  fi
  for dll in $listed; do
    grep -qxF "$dll" "$work/out" || { echo "FAILED: $program: $dll not listed"; status=1; }
  done
  for dll in $refused; do
    grep -qF "$dll" "$work/err" || { echo "FAILED: $program: $dll not refused"; status=1; }
  done
  ((status)) || echo "ok: $program: exit $got"
done <<'TABLE'
Chronoseq.exe|0|kernel32.dll user32.dll comctl32.dll shell32.dll|
static.exe|0|kernel32.dll msvcrt.dll|
dynamic.exe|1|kernel32.dll|libgcc_s_seh-1.dll libstdc++-6.dll
TABLE
exit "$status"
