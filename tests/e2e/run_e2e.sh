#!/usr/bin/env bash
# End to end: the built Chronoseq.exe, started as a user starts it under Wine,
# lists its start folder (the desktop) and stamps it when driven from outside.
# The times are then read back from disk with the system's own stat.
# Usage: run_e2e.sh <Chronoseq.exe> <driver.exe> <artefact folder>
set -euo pipefail

exe=$1
driver=$2
artefacts=$3
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../scripts/wine-run.sh"

: "${DISPLAY:?the end-to-end test needs an X display}"
# shellcheck source=scripts/wine-env.sh
source "$here/../../scripts/wine-env.sh"
prefix=$WINEPREFIX
desktop="$prefix/drive_c/users/$(id -un)/Desktop"
mkdir -p "$artefacts"

# A fresh start folder of five files with old times.
[ -L "$desktop" ] && rm -f "$desktop"
rm -rf "$desktop"
mkdir -p "$desktop"
for name in alpha.txt beta.txt gamma.txt 日本語.txt 文件.txt; do
  printf 'x' >"$desktop/$name"
  touch -d '2001-01-01 00:00:00' "$desktop/$name"
done

log="$artefacts/e2e-driver.log"
"$run" "$driver" "Z:${exe//\//\\}" \
  "C:\\users\\$(id -un)\\Desktop" 2009 3 5 12 30 0 >"$log" 2>&1 &
driver_pid=$!

# The screenshot of the listed start folder is kept as an artefact.
for _ in $(seq 1 400); do
  grep -q '^listed' "$log" 2>/dev/null && break
  kill -0 "$driver_pid" 2>/dev/null || break
  sleep 0.1
done
import -window root "png:$artefacts/e2e-main-window.png" 2>/dev/null || true

# The driver asks for real mouse clicks on the list's header; they go
# through the X server as a user's would.
for click in 1 2; do
  line=""
  for _ in $(seq 1 400); do
    line=$(grep "^click header" "$log" 2>/dev/null | sed -n "${click}p" || true)
    [ -n "$line" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$line" ] || break
  read -r _ _ x y <<<"$line"
  # Two clicks within the double-click time are a double click, which a
  # header takes as no second click.
  [ "$click" = 1 ] || sleep 1
  xdotool mousemove "$x" "$y" click 1
done

status=0
wait "$driver_pid" || status=$?
cat "$log"

# Independent of the program: the five last-write times are the start time
# and the four minutes after it.
start=$(TZ=Asia/Tokyo date -d '2009-03-05 12:30:00' +%s)
expected=$(for k in 0 1 2 3 4; do echo $((start + 60 * k)); done)
actual=$(stat -c %Y "$desktop"/* | sort -n)
if [ "$actual" = "$expected" ]; then
  echo "ok: stat shows the start time plus 0..4 minutes"
else
  echo "FAILED: stat shows"; echo "$actual"; echo "expected"; echo "$expected"
  status=1
fi
# The rows were sorted by name descending before the run, so 文件.txt got
# the start time and alpha.txt the latest.
for entry in "文件.txt 0" "日本語.txt 1" "gamma.txt 2" "beta.txt 3" "alpha.txt 4"; do
  read -r name minutes <<<"$entry"
  if [ "$(stat -c %Y "$desktop/$name")" = $((start + 60 * minutes)) ]; then
    echo "ok: $name carries the start time plus $minutes minutes"
  else
    echo "FAILED: $name carries $(stat -c %Y "$desktop/$name"), expected $((start + 60 * minutes))"
    status=1
  fi
done
exit "$status"
