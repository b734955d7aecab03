#!/usr/bin/env bash
# End to end as a Windows user meets the program: the release zip unpacked
# into a fresh folder in the Downloads folder, and Chronoseq.exe started
# from its own folder, as a double-click in Explorer starts it. run_e2e.sh then
# drives it and checks the times on disk. Afterwards the unpacked folder holds
# the zip's files and at most the window settings file, nothing else.
# Usage: from_zip.sh <zip> <driver.exe> <artefact folder> <scenario of run_e2e.sh>
set -euo pipefail

zip=$(cd "$(dirname "$1")" && pwd -P)/$(basename "$1")
shift
here=$(cd "$(dirname "$0")" && pwd -P)
scripts="$here/../../scripts"

[ -f "$zip" ] || { echo "FAILED: no release zip at $zip"; exit 1; }

# shellcheck source=scripts/wine-env.sh disable=SC1091
source "$scripts/wine-env.sh"
"$scripts/wine-prefix.sh"
unpacked="$WINEPREFIX/drive_c/users/$(id -un)/Downloads/Chronoseq"
rm -rf "$unpacked"
trap 'rm -rf "$unpacked"' EXIT
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
[ -f "$unpacked/Chronoseq.exe" ] || { echo "FAILED: the zip holds no Chronoseq.exe"; exit 1; }

status=0
(cd "$unpacked" && "$here/run_e2e.sh" "$unpacked/Chronoseq.exe" "$@") || status=$?

shopt -s dotglob nullglob
for path in "$unpacked"/*; do
  case ${path##*/} in
    Chronoseq.exe | readme.txt | LICENSE.txt | Chronoseq.INI) ;;
    *) echo "FAILED: the program left ${path##*/} beside itself"; status=1 ;;
  esac
done
exit "$status"
