#!/usr/bin/env bash
# End to end as a Windows user meets the program: the release zip unpacked
# into the Downloads folder of a fresh Wine prefix, and Chronoseq.exe started
# from its own folder, as a double-click in Explorer starts it. run_e2e.sh then
# drives it and checks the times on disk. Afterwards the unpacked folder holds
# the zip's files and at most the window settings file, nothing else.
# Usage: from_zip.sh <zip> <work folder> <driver.exe> <artefact folder> [more for run_e2e.sh]
set -euo pipefail

zip=$(cd "$(dirname "$1")" && pwd -P)/$(basename "$1")
mkdir -p "$2"
work=$(cd "$2" && pwd -P)
shift 2
here=$(cd "$(dirname "$0")" && pwd -P)
scripts="$here/../../scripts"

[ -f "$zip" ] || { echo "FAILED: no release zip at $zip"; exit 1; }

# A prefix of its own, made anew for every run and removed afterwards with
# every Wine process in it.
export CHRONOSEQ_WINEPREFIX="$work/prefix"
# shellcheck source=scripts/wine-env.sh disable=SC1091
source "$scripts/wine-env.sh"
cleanup() {
  chronoseq_wineserver_down
  rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
}
cleanup
trap cleanup EXIT
"$scripts/wine-prefix.sh"

unpacked="$WINEPREFIX/drive_c/users/$(id -un)/Downloads/Chronoseq"
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
