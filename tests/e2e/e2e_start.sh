# Shared start of the end-to-end scripts, sourced after `set -euo pipefail`:
# takes the arguments <Chronoseq.exe> <driver.exe> <artefact folder>, enters
# the Wine environment and names the desktop, which is the program's start
# folder; pass and fail print a check's line, fail also setting status.
# shellcheck shell=bash disable=SC2034  # the names are for the scripts that source this

exe=$1
driver=$2
artefacts=$3
here=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
run="$here/../../scripts/wine-run.sh"

: "${DISPLAY:?the end-to-end test needs an X display}"
# shellcheck source=scripts/wine-env.sh
source "$here/../../scripts/wine-env.sh"
prefix=$WINEPREFIX
user=$(id -un)
desktop="$prefix/drive_c/users/$user/Desktop"
mkdir -p "$artefacts"

# fresh_folders DIR...: empties each folder, or makes it; a desktop that Wine
# linked to the host's own is unlinked first.
fresh_folders() {
  local dir
  for dir in "$@"; do
    [ -L "$dir" ] && rm -f "$dir"
    rm -rf "$dir"
    mkdir -p "$dir"
  done
}

pass() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; status=1; }
# A Linux path as Wine's drive Z: gives it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
