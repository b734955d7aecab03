#!/usr/bin/env bash
# End to end: the built Chronoseq.exe, started as a user starts it under Wine,
# lists its start folder (the desktop) and stamps it when driven from outside.
# The times are then read back from disk with the system's own stat.
# Each scenario is the function of its name, run alone by its own test.
# Usage: run_e2e.sh <Chronoseq.exe> <driver.exe> <artefact folder> <scenario>
# shellcheck disable=SC2317 # each scenario is called by its name
set -euo pipefail
# shellcheck source=tests/e2e/e2e_start.sh
source "$(dirname "$0")/e2e_start.sh"

# check_run ZONE "START" STEP NAMES...: holds the rows the driver printed
# against the disk, by name: the names listed are exactly those made, and row k
# has, on disk and in its time text, the start time plus k steps. The times
# are reckoned here by the system's date in ZONE, apart from the program.
check_run() {
  local zone=$1 start_text=$2 step=$3
  shift 3
  local ok=1 start_epoch expected_epoch expected_text actual_epoch k name text
  start_epoch=$(TZ=$zone date -d "$start_text" +%s)
  # The driver's lines may end in CR LF.
  local rows listed
  rows=$(tr -d '\r' <"$log" | grep -P '^row\t' || true)
  listed=$(awk -F'\t' '{ print $3 }' <<<"$rows" | sort)
  if [ "$listed" != "$(printf '%s\n' "$@" | sort)" ]; then
    echo "FAILED: the list shows"; echo "$listed"; echo "made"; printf '%s\n' "$@"
    ok=0
  fi
  while IFS=$'\t' read -r _ k name text; do
    [ -n "$k" ] || continue
    expected_epoch=$((start_epoch + k * step))
    expected_text=$(TZ=$zone date -d "@$expected_epoch" '+%Y/%m/%d %H:%M:%S')
    actual_epoch=$(stat -c %Y "$desktop/$name")
    if [ "$actual_epoch" != "$expected_epoch" ] || [ "$text" != "$expected_text" ]; then
      echo "FAILED: row $k $name: disk $actual_epoch, text '$text';" \
        "expected $expected_epoch, '$expected_text'"
      ok=0
    fi
  done <<<"$rows"
  if [ "$ok" = 1 ]; then
    echo "ok: in $zone every row by name has $start_text plus $step s per row, on disk and in the list"
  else
    status=1
  fi
}

# A fresh start folder with old times: NAMES files and, when given, a folder.
make_folder() {
  fresh_folders "$desktop"
  local name
  for name in "$@"; do
    case $name in
      */) mkdir -p "$desktop/${name%/}"; printf 'x' >"$desktop/${name%/}/inner.txt" ;;
      *) printf 'x' >"$desktop/$name" ;;
    esac
    touch -d '2001-01-01 00:00:00' "$desktop/${name%/}"
  done
}

status=0
scenario=${4:-}
log="$artefacts/e2e-$scenario.log"

# drive ZONE ARGS...: runs the driver in ZONE; it keeps a screenshot of the
# listed start folder.
drive() {
  local zone=$1
  shift
  CHRONOSEQ_TZ=$zone CHRONOSEQ_E2E_SCREENSHOT="$artefacts/e2e-$scenario.png" "$run" "$driver" \
    "Z:${exe//\//\\}" "C:\\users\\$(id -un)\\Desktop" "$@" >"$log" 2>&1 &
  local driver_pid=$!
  click_when_asked "$driver_pid"
  wait "$driver_pid" || status=$?
  cat "$log"
}

# over_the_program: waits until a window is under the pointer and the
# program's has the keyboard (at most ten seconds; whether it came to
# that). Wine may map the main window anew once the window manager has
# taken it: a click before that lands on the screen's background.
over_the_program() {
  local _ root under
  root=$(xwininfo -root | sed -nE 's/^.*Window id: (0x[0-9a-f]+).*$/\1/p')
  for _ in $(seq 1 100); do
    under=$(xdotool getmouselocation --shell 2>/dev/null | sed -n 's/^WINDOW=//p')
    if [ -n "$under" ] && [ "$((under))" != "$((root))" ] &&
      [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = Chronoseq ]; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# click_when_asked PID: the driver may ask for real mouse clicks on the
# list's header ("click header X Y"); they go through the X server as a
# user's would, until the driver ends.
click_when_asked() {
  local driver_pid=$1 clicks=0 line x y
  while kill -0 "$driver_pid" 2>/dev/null; do
    line=$(grep "^click header" "$log" 2>/dev/null | sed -n "$((clicks + 1))p" || true)
    if [ -n "$line" ]; then
      read -r _ _ x y <<<"$line"
      # Two clicks on one spot within the double-click time are a double
      # click, which a header takes as no second click: each click lands
      # 12 pixels right of the one before, beyond the double-click square.
      xdotool mousemove "$((x + 12 * clicks))" "$y"
      over_the_program || echo "the pointer is not over the program's window"
      xdotool click 1
      clicks=$((clicks + 1))
    fi
    sleep 0.1
  done
}

names=(alpha.txt beta.txt gamma.txt 日本語.txt 文件.txt フォルダ)

# By the minute in Japan, a folder among the files.
StampsByTheMinuteInTokyo() {
  make_folder alpha.txt beta.txt gamma.txt 日本語.txt 文件.txt フォルダ/
  drive Asia/Tokyo 2009 3 5 12 30 0
  check_run Asia/Tokyo '2009-03-05 12:30:00' 60 "${names[@]}"
}

# By two seconds in Berlin across the night the clock skips 02:00-02:59.
StampsByTwoSecondsAcrossBerlinsSkippedHour() {
  make_folder alpha.txt beta.txt gamma.txt 日本語.txt 文件.txt フォルダ/
  drive Europe/Berlin 2009 3 29 1 59 54 2s
  check_run Europe/Berlin '2009-03-29 01:59:54' 2 "${names[@]}"
}

# Sorted by name, descending, through two real clicks on the header: the
# rows are stamped in that order, 文件.txt first and alpha.txt last.
StampsInTheOrderOfTwoHeaderClicks() {
  sorted=(文件.txt 日本語.txt gamma.txt beta.txt alpha.txt)
  make_folder "${sorted[@]}"
  drive Asia/Tokyo 2009 3 5 12 30 0 sort
  check_run Asia/Tokyo '2009-03-05 12:30:00' 60 "${sorted[@]}"
  listed=$(tr -d '\r' <"$log" | grep -P '^row\t' | awk -F'\t' '{ print $3 }' || true)
  if [ "$listed" = "$(printf '%s\n' "${sorted[@]}")" ]; then
    echo "ok: the list stood in descending name order when it was stamped"
  else
    echo "FAILED: the list stood as"; echo "$listed"; status=1
  fi
}

case $scenario in
  StampsByTheMinuteInTokyo | StampsByTwoSecondsAcrossBerlinsSkippedHour | \
    StampsInTheOrderOfTwoHeaderClicks) "$scenario" ;;
  *) echo "usage: run_e2e.sh <Chronoseq.exe> <driver.exe> <artefact folder> <scenario>" >&2; exit 2 ;;
esac
exit "$status"
