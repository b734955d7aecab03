#!/usr/bin/env bash
# Packaging twice from the same sources gives the same bytes. The second run
# links the program again (its old exe is removed first) and zips again, so a
# link time in the PE header or a file time in the zip shows as a difference.
# The entries carry the packaged commit's time: should a commit land between
# the two runs, the second would take the newer one. So the second run is
# given the time the first zip's entries carry (SOURCE_DATE_EPOCH), which
# packages the same commit as the first; the program's bytes and the order,
# permissions and fields of the entries must still come out the same.
# Usage: reproducible.sh <Windows build tree> <folder of the first zip> <work folder>
set -euo pipefail

build=$1
first=$2
work=$3
repo=$(cd "$(dirname "$0")/../.." && pwd -P)

zip=$(cd "$first" && ls Chronoseq-*.zip)
rm -rf "$work"
mkdir -p "$work"

# zip keeps a DOS time (two-second steps, written in UTC by package.sh), the
# same for every entry.
stamp=$(TZ=UTC zipinfo -T "$first/$zip" Chronoseq.exe | grep -oE '[0-9]{8}\.[0-9]{6}')
[ -n "$stamp" ] || { echo "FAILED: no time on the first zip's Chronoseq.exe"; exit 1; }
epoch=$(date -u -d "${stamp:0:8} ${stamp:9:2}:${stamp:11:2}:${stamp:13:2}" +%s)

rm -f "$build/src/Chronoseq.exe"
SOURCE_DATE_EPOCH=$epoch "$repo/scripts/package.sh" --build-dir "$build" --out "$work" >"$work/package.log" 2>&1 || {
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
