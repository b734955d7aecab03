#!/usr/bin/env bash
# End to end: the window settings file across real runs of Chronoseq.exe.
# Each run starts in a folder holding a settings file, is ended through its
# menu ("終了(&X)" by Alt+F, X) and must write back what it read: positions
# left of and above the screen included. A time dialog stored far off the
# screen comes back onto it. The file's bytes are checked, nothing else.
# Each scenario is the function of its name, run alone by its own test.
# Usage: run_settings_e2e.sh <Chronoseq.exe> <artefact folder> <scenario>
# shellcheck disable=SC2317 # each scenario is called by its name
set -euo pipefail

exe=$1
artefacts=$2
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../scripts/wine-run.sh"
: "${DISPLAY:?the end-to-end test needs an X display}"
mkdir -p "$artefacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# shellcheck source=tests/e2e/x_windows.sh
source "$here/x_windows.sh"

# One run: start, wait for the main window, leave through the menu. A close
# before the settings' load tick loads them first, so nothing waits for it.
run_once() {
  local shot=$1
  "$run" "$exe" >"$work/run.log" 2>&1 &
  local pid=$!
  wait_for_main_window "$pid" || { echo "FAILED: no main window"; kill "$pid" 2>/dev/null; return 1; }
  import -window root "png:$artefacts/$shot" 2>/dev/null || true
  choose_from_file_menu "$wid" x
  if ! ended "$pid"; then
    echo "FAILED: the program did not end"
    kill "$pid" 2>/dev/null
    return 1
  fi
  wait "$pid" || true
}

crlf() { printf '%s\r\n' "$@"; }

status=0
stored=$(crlf -20 -60 900 560 260 60 160 120 -40 -15 300 1 0 120)

# The first run reads a hand-edited file (LF line ends, blanks, a
# hexadecimal height, a comment, the name order on) and must write it in its
# own form; the second reads that form back.
AHandEditedFileComesBackInItsOwnForm() {
  printf -- '-20\n-60\n  900\n$230\n260 name\n60\n160\n120\n-40\n-15\n300\n1\n' >Chronoseq.INI
  for n in 1 2; do
    run_once "settings-run$n.png" || status=1
    if [ "$(cat Chronoseq.INI)" = "$stored" ]; then
      echo "ok: run $n wrote the eleven values and the options it read, CR LF after each"
    else
      echo "FAILED: run $n wrote"; od -c Chronoseq.INI | head -20; status=1
    fi
    if [ -e Chronoseq.INI.tmp ]; then echo "FAILED: a temporary file was left"; status=1; fi
  done
}

# A time dialog stored far beyond the screen's right and bottom edges.
ATimeDialogOffTheScreenComesBackOntoIt() {
  printf '%s' "$(crlf -20 -60 900 560 260 60 160 30000 30000 -15 300)" >Chronoseq.INI
  run_once settings-offscreen.png || status=1
  mapfile -t values < <(tr -d '\r' <Chronoseq.INI)
  screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
  width=${screen%x*} height=${screen#*x}
  if [ "${#values[@]}" -eq 14 ] && [ "${values[7]}" -ge 0 ] && [ "${values[7]}" -lt "$height" ] &&
    [ "${values[8]}" -ge 0 ] && [ "${values[8]}" -lt "$width" ]; then
    echo "ok: the time dialog came back to ${values[8]}, ${values[7]} on a ${screen} screen"
  else
    echo "FAILED: the time dialog is stored at ${values[8]:-?}, ${values[7]:-?}"; status=1
  fi
}

case ${3:-} in
  AHandEditedFileComesBackInItsOwnForm | ATimeDialogOffTheScreenComesBackOntoIt) "$3" ;;
  *) echo "usage: run_settings_e2e.sh <Chronoseq.exe> <artefact folder> <scenario>" >&2; exit 2 ;;
esac
exit "$status"
