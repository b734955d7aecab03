#!/usr/bin/env bash
# Packaging twice from the same sources gives the same bytes. The second run
# links the program again (its old exe is removed first) and zips again, so a
# link time in the PE header or a file time in the zip shows as a difference.
# Usage: reproducible.sh <Windows build tree> <folder of the first zip> <work folder>
set -euo pipefail

build=$1
first=$2
work=$3
repo=$(cd "$(dirname "$0")/../.." && pwd -P)

zip=$(cd "$first" && ls Chronoseq-*.zip)
rm -rf "$work"
mkdir -p "$work"

rm -f "$build/src/Chronoseq.exe"
"$repo/scripts/package.sh" --build-dir "$build" --out "$work" >"$work/package.log" 2>&1 || {
  cat "$work/package.log"
  echo "FAILED: the second packaging run"
  exit 1
}
grep -q 'Linking' "$work/package.log" || { echo "FAILED: the second run did not link"; exit 1; }

status=0
for f in "$zip" "$zip.sha256"; do
  if cmp "$first/$f" "$work/$f"; then
    echo "ok: $f is the same"
  else
    echo "FAILED: $f differs between two packaging runs"
    status=1
  fi
done
# The checksum file names the zip and holds its digest.
(cd "$work" && sha256sum --check --strict "$zip.sha256") || status=1
exit "$status"
