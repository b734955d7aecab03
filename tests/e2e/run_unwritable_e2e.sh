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

main_window() {
  local candidate
  # Another window may carry the same name with no size on the screen; the
  # main window is the large one.
  for candidate in $(xdotool search --onlyvisible --name '^Chronoseq$' 2>/dev/null || true); do
    if [ "$(xdotool getwindowgeometry --shell "$candidate" | sed -n 's/^WIDTH=//p')" -gt 300 ]; then
      echo "$candidate"
      return
    fi
  done
}
close_through_menu() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  xdotool key --window "$1" alt+f
  sleep 0.5
  xdotool key x
}
ended() {
  local _
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

"$run" "$exe" >"$work/run.log" 2>&1 &
pid=$!
wid=""
for _ in $(seq 1 200); do
  wid=$(main_window)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "FAILED: no main window"; kill "$pid" 2>/dev/null; exit 1; }
sleep 2 # the load comes at the first tick

status=0
close_through_menu "$wid"
sleep 2
import -window root "png:$artefacts/unwritable-first-close.png" 2>/dev/null || true
if kill -0 "$pid" 2>/dev/null; then
  echo "ok: the first close failed to save and left the program open"
else
  echo "FAILED: the first close ended the program"; status=1
fi
xdotool key Return # the error box's OK
sleep 1
if [ "$status" = 0 ]; then
  close_through_menu "$wid"
  if ended; then
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
