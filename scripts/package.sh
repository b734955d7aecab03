#!/usr/bin/env bash
# Builds the release a Windows user downloads: one zip with Chronoseq.exe
# (Release, static, stripped), readme.txt (the Japanese guide, UTF-8 with a
# byte-order mark and CR LF, as Notepad wants it) and LICENSE.txt, and the
# zip's SHA-256 beside it.
#
#   scripts/package.sh                  build in build/windows, write dist/
#   scripts/package.sh --build-dir DIR  use the configured Windows build tree DIR
#   scripts/package.sh --out DIR        write the zip and its checksum into DIR
#
# The same commit gives the same bytes: the linker writes no time stamp, every
# zip entry carries the commit's time (or SOURCE_DATE_EPOCH), fixed
# permissions, in a fixed order, and no extra fields.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
cd "$repo"

build=""
out="$repo/dist"
while (($#)); do
  case $1 in
    --build-dir) build=$(cd "$2" && pwd -P); shift 2 ;;
    --out) mkdir -p "$2"; out=$(cd "$2" && pwd -P); shift 2 ;;
    *) echo "usage: package.sh [--build-dir DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

scripts/install-deps.sh
if [ -z "$build" ]; then
  cmake --preset windows >/dev/null
  build="$repo/build/windows"
fi
cmake --build "$build" --target Chronoseq

version=$(sed -n 's/^project(Chronoseq VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }
name="Chronoseq-$version"

# Every entry's time: SOURCE_DATE_EPOCH if given, else the commit's.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || { echo "package.sh: set SOURCE_DATE_EPOCH (no git history here)" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/files"

exe="$build/src/Chronoseq.exe"
# The Release link strips the program. (strip(1) would write the present time
# into the PE header, so a build of another configuration is refused.)
if x86_64-w64-mingw32-nm "$exe" 2>/dev/null | grep -q .; then
  echo "package.sh: $exe carries symbols; package a Release build" >&2
  exit 1
fi
scripts/check-imports.sh "$exe" >/dev/null
cp "$exe" "$stage/files/Chronoseq.exe"

crlf() { sed 's/\r$//; s/$/\r/' "$1"; }
{
  printf '\xef\xbb\xbf'
  crlf docs/guide-ja.txt
} >"$stage/files/readme.txt"
crlf LICENSE >"$stage/files/LICENSE.txt"

entries=(Chronoseq.exe readme.txt LICENSE.txt)
chmod 0644 "$stage/files"/*
chmod 0755 "$stage/files/Chronoseq.exe"
touch -d "@$epoch" "$stage/files"/*
# zip stores local times; in UTC they are the same everywhere.
(cd "$stage/files" && TZ=UTC zip -X -D -9 -q "$stage/$name.zip" "${entries[@]}")
(cd "$stage" && sha256sum "$name.zip" >"$name.zip.sha256")

mkdir -p "$out"
mv -f "$stage/$name.zip" "$out/$name.zip"
mv -f "$stage/$name.zip.sha256" "$out/$name.zip.sha256"
echo "$out/$name.zip"
cat "$out/$name.zip.sha256"
