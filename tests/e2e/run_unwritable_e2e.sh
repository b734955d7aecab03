#!/usr/bin/env bash
# End to end: Chronoseq.exe started in a folder that cannot be written (as a
# start from C:\Windows\System32 or Program Files gives), made so by
# `chattr +i`, which needs root. The first close says why the settings file
# could not be saved and leaves the program open; the second, failing for
# the same reason, ends it. No settings file is written anywhere.
# Usage: run_unwritable_e2e.sh <Chronoseq.exe> <driver.exe> <artefact folder>
set -euo pipefail
# shellcheck source=tests/e2e/e2e_start.sh
source "$(dirname "$0")/e2e_start.sh"
if [ "$(id -u)" != 0 ]; then
  echo "SKIPPED: chattr +i needs root"
  exit 77
fi

work=$(mktemp -d)
locked="$work/書けない"
mkdir "$locked"
marker="$work/started"
cleanup() {
  chattr -i "$locked" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chattr +i "$locked"
touch "$marker"
cd "$locked"

# shellcheck source=tests/e2e/x_windows.sh
source "$here/x_windows.sh"

"$run" "$exe" >"$work/run.log" 2>&1 &
pid=$!
wait_for_main_window "$pid" || { echo "FAILED: no main window"; kill "$pid" 2>/dev/null; exit 1; }

# A close before the settings' load tick loads them first: nothing waits
# for the tick.
status=0
choose_from_file_menu "$wid" x
wait_for_box "$wid" || echo "no error box came"
import -window root "png:$artefacts/unwritable-first-close.png" 2>/dev/null || true
if kill -0 "$pid" 2>/dev/null; then
  echo "ok: the first close failed to save and left the program open"
else
  echo "FAILED: the first close ended the program"; status=1
fi
xdotool key Return # the error box's OK
wait_for_box "$wid" gone || echo "the error box stayed"
if [ "$status" = 0 ]; then
  choose_from_file_menu "$wid" x
  if ended "$pid"; then
    echo "ok: the second close, failing for the same reason, ended the program"
  else
    echo "FAILED: the second close did not end the program"; status=1
    kill "$pid" 2>/dev/null || true
  fi
fi
wait "$pid" 2>/dev/null || true

written=$(find "$prefix/drive_c" "$work" "$(dirname "$exe")" -newer "$marker" \
  -iname 'Chronoseq.INI*' 2>/dev/null || true)
if [ -z "$written" ]; then
  echo "ok: no settings file was written anywhere"
else
  echo "FAILED: written: $written"; status=1
fi
exit "$status"
