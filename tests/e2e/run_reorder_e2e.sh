#!/usr/bin/env bash
# End to end: the built Chronoseq.exe under Wine, started on a card's folder
# whose files were written in a shuffled order, driven from outside, sorts the
# rows by name and runs "カード上でこの順番にする(&R)...":
#   OntoFat16: on a FAT16 image made by mkfs.vfat and mounted with fusefat:
#     mdir, a reader outside the program, reads the folder in the list's
#     order; the entries' sizes, dates and bytes, read from the image by mdir
#     and mcopy, are unchanged; no work folder is left. (No folder row here:
#     fusefat loses a folder's contents when the folder itself is renamed, mv
#     or not; nor can it set a time, so the rows are sorted by name.)
#   JapaneseNamesOnExFat: the same with Japanese names and a folder row on an
#     exFAT image made by mkfs.exfat and mounted with exfat-fuse on a loop
#     device (so as root), read straight from the image by exfat_order.py,
#     the times and bytes through a read-only mount.
# Each scenario is the function of its name, run alone by its own test.
# Usage: run_reorder_e2e.sh <Chronoseq.exe> <reorder driver.exe> <artefact folder> <scenario>
# shellcheck disable=SC2317 # each scenario is called by its name
set -euo pipefail
# shellcheck source=tests/e2e/e2e_start.sh
source "$(dirname "$0")/e2e_start.sh"
# shellcheck source=tests/e2e/card_images.sh
source "$here/card_images.sh"
trap 'release_cards; rm -rf "$work"' EXIT
# fusefat leaves a FAT16 image whose FAT does not begin with the media byte,
# which mtools refuses unless told to skip its checks.
export MTOOLS_SKIP_CHECK=1

status=0

# Names, sizes, last-write times (whole seconds, as FAT keeps them) and bytes
# of a folder's entries, in name order.
snapshot() {
  (cd "$1" && find . -mindepth 1 -exec stat -c '%n %s %Y' {} + | LC_ALL=C sort &&
    find . -type f -exec md5sum {} + | LC_ALL=C sort -k2)
}

# Runs the driver; sets rows (the list's names, in order), question, message
# and readback.
drive() {
  drive_card "$artefacts/e2e-reorder-$3.log" "$3" "$(winpath "$1")" "$2" byname
}

# Writes the files in the order given, each with its own bytes, then sets the
# last-write times so that the time order is another order again.
write_shuffled() {
  local folder=$1
  shift
  local name
  for name in "$@"; do
    case $name in
      */) mkdir "$folder/${name%/}" && head -c 3000 /dev/urandom >"$folder/${name%/}/inner.mp3" ;;
      *) head -c $((4000 + RANDOM % 4000)) /dev/urandom >"$folder/$name" ;;
    esac
  done
}

# The entries of a folder of a FAT image as mdir gives them (size, date,
# time, name) and the bytes of each file, read from the image itself.
image_state() {
  mdir -i "$1" "::$2" 2>/dev/null | sed -nE 's/^[^ ]+ +([0-9]+ .*[0-9]{2}:[0-9]{2} +.+)$/\1/p' | LC_ALL=C sort -k4
  local name
  for name in $(image_order "$1" "$2"); do
    mtype -i "$1" "::$2/$name" | md5sum | sed "s|-|$name|"
  done | LC_ALL=C sort -k2
}

# FAT16, fusefat, mdir.
OntoFat16() {
  mkfs.vfat -F 16 -C "$work/fat.img" 16384 >/dev/null
  mount_image "$work/fat.img" "$work/fat"
  mkdir "$work/fat/music"
  write_shuffled "$work/fat/music" track4.mp3 track1.mp3 track5.mp3 track2.mp3 track3.mp3 track6.mp3
  unmount_image
  written=$(image_order "$work/fat.img" /music)
  before=$(image_state "$work/fat.img" /music)
  mount_image "$work/fat.img" "$work/fat"
  drive "$work/fat/music" 6 fat
  unmount_image
  echo "written: $(echo $written)"
  [ -n "$written" ] && [ "$(echo $rows)" != "$(echo $written)" ] &&
    pass "the list's order is not the order of writing" || fail "the rows are '$(echo $rows)', as written"
  case "$(echo $rows)" in
    "track1.mp3 track2.mp3 track3.mp3 track4.mp3 track5.mp3 track6.mp3" | \
      "track6.mp3 track5.mp3 track4.mp3 track3.mp3 track2.mp3 track1.mp3")
      pass "the rows stand in name order" ;;
    *) fail "the rows are '$(echo $rows)'" ;;
  esac
  case $question in
    *"の 6 個を一覧の順番に並べ替えます"*"このドライブのファイルシステムは分かりません"*) pass "the question names the count and the unknown drive" ;;
    *) fail "the question is '$question'" ;;
  esac
  # Wine lists a mounted folder sorted by name: the program reads that back and
  # must say so when it differs; mdir reads the truth.
  expected="並べ替えました (6 個)"
  [ "$readback" != "$rows" ] && expected="$expected\n\n順番を保たないドライブです"
  [ "$message" = "$expected" ] && pass "the message is $expected" || fail "the message is '$message'"
  got=$(image_order "$work/fat.img" /music)
  [ -n "$rows" ] && [ "$got" = "$rows" ] && pass "mdir reads the list's order: $(echo $got)" ||
    fail "mdir reads '$(echo $got)', the list is '$(echo $rows)'"
  got=$(image_order "$work/fat.img" /)
  [ "$(echo $got)" = "music" ] && pass "no work folder is left" || fail "the card's root holds '$(echo $got)'"
  after=$(image_state "$work/fat.img" /music)
  [ -n "$before" ] && [ "$after" = "$before" ] && pass "sizes, dates and bytes are unchanged" ||
    { fail "sizes, dates or bytes changed"; diff <(echo "$before") <(echo "$after") || true; }
}

# Japanese names on exFAT.
JapaneseNamesOnExFat() {
  if no_loop_devices "exFAT scenario"; then exit "$status"; fi
  truncate -s 8M "$work/exfat.img"
  mkfs.exfat "$work/exfat.img" >/dev/null
  if mount_exfat "$work/exfat.img" "$work/exfat"; then
    mkdir "$work/exfat/曲集"
    long=とても長い名前の曲は一つの名前の項目に収まらない.mp3
    write_shuffled "$work/exfat/曲集" 冬.mp3 "$long" 春.mp3 アルバム/ 夏.mp3 秋.mp3
    before=$(snapshot "$work/exfat/曲集")
    release_exfat
    written=$("$here/exfat_order.py" "$work/exfat.img" /曲集)
    echo "written: $(echo $written)"
  fi
  if [ -n "${written:-}" ] && mount_exfat "$work/exfat.img" "$work/exfat"; then
    drive "$work/exfat/曲集" 6 exfat
    release_exfat
    [ "$(echo $rows)" != "$(echo $written)" ] && pass "the list's order is not the order of writing" ||
      fail "the rows are '$(echo $rows)', as written"
    expected="並べ替えました (6 個)"
    [ "$readback" != "$rows" ] && expected="$expected\n\n順番を保たないドライブです"
    [ "$message" = "$expected" ] && pass "the message is $expected" || fail "the message is '$message'"
    got=$("$here/exfat_order.py" "$work/exfat.img" /曲集)
    [ -n "$rows" ] && [ "$got" = "$rows" ] && pass "the image holds the list's order: $(echo $got)" ||
      fail "the image reads '$(echo $got)', the list is '$(echo $rows)'"
    if mount_exfat "$work/exfat.img" "$work/exfat" -r; then
      got=$(ls -A "$work/exfat")
      [ "$(echo $got)" = "曲集" ] && pass "no work folder is left" || fail "the card's root holds '$(echo $got)'"
      [ -n "$before" ] && [ "$(snapshot "$work/exfat/曲集")" = "$before" ] && pass "contents and last-write times are unchanged" ||
        { fail "contents or times changed"; diff <(echo "$before") <(snapshot "$work/exfat/曲集") || true; }
      release_exfat
    fi
  fi
}

case ${4:-} in
  OntoFat16 | JapaneseNamesOnExFat) "$4" ;;
  *) echo "usage: run_reorder_e2e.sh <Chronoseq.exe> <reorder driver.exe> <artefact folder> <scenario>" >&2; exit 2 ;;
esac
exit "$status"
