#!/usr/bin/env bash
# End to end: the built Chronoseq.exe under Wine, driven from outside, copies
# its start folder's rows with "この順番でコピー(&C)..." and the system's folder
# picker:
#   OntoFat: onto a real FAT file system (an image made by mkfs.vfat,
#     mounted with fusefat): the order read straight from the image by
#     mtools' mdir, a reader outside the program, is the list's order, a
#     sub-folder's contents in the locale's name order;
#   JapaneseNamesOntoExFat: Japanese names, a sub-folder's among them, onto a
#     real exFAT file system (an image made by mkfs.exfat, mounted with
#     exfat-fuse through a loop device, so as root): the order read straight
#     from the image by exfat_order.py is the list's, the sub-folder's the
#     locale's name order;
#   StopsAtANameTheCardRefuses: a name the card cannot take (fusefat refuses
#     every non-ASCII name) stops the copy at that row, the rows above it on
#     the card;
#   StopsAtAFullCard: a full image (8 KiB clusters, which Wine reports as
#     1 KiB ones, so the check lets it through) stops at the first file that
#     does not fit, with the message, no half-written file, the source
#     untouched;
#   SaysALinuxFolderDoesNotKeepTheOrder: an ordinary Linux folder (tmpfs:
#     newest entry first) gives the line saying the drive does not keep the
#     order exactly when its order, read by ls -f, differs from the list's;
#   EscStopsALongCopy: Esc stops a long copy: the message counts the rows,
#     every file left behind is whole.
# Each scenario is the function of its name, run alone by its own test.
# Usage: run_copy_e2e.sh <Chronoseq.exe> <copy driver.exe> <artefact folder> <scenario>
# shellcheck disable=SC2317 # each scenario is called by its name
set -euo pipefail
# shellcheck source=tests/e2e/e2e_start.sh
source "$(dirname "$0")/e2e_start.sh"
# shellcheck source=tests/e2e/card_images.sh
source "$here/card_images.sh"
# Wine does not reach into /dev: the tmpfs folder is reached through a link.
shm_real=$(mktemp -d /dev/shm/chronoseq-copy.XXXXXX)
shm="$work/shm"
ln -s "$shm_real" "$shm"
cleanup() {
  release_cards
  rm -rf "$work" "$shm_real"
  # The last scenario's large files do not stay in the prefix.
  fresh_folders "$desktop"
}
trap cleanup EXIT

status=0

# The source's names, sizes, last-write times and bytes, to show it is
# untouched. (Reading a file may move its access time: that is the OS's
# doing, not a write.)
snapshot() { (cd "$desktop" && find . -printf '%p %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }

# Runs the driver; sets rows (the list's names, in order), message and
# readback.
drive() {
  local entries=$1 destination=$2 mode=${3:-}
  drive_card "$artefacts/e2e-copy-$4.log" "$4" "$entries" "$(winpath "$destination")" $mode
}

# The list's order on FAT, with a sub-folder.
OntoFat() {
  fresh_folders "$desktop"
  for name in track03.mp3 track01.mp3 track02.mp3; do head -c 3000 /dev/urandom >"$desktop/$name"; done
  mkdir "$desktop/album"
  for name in b.mp3 10.mp3 a.mp3; do head -c 5000 /dev/urandom >"$desktop/album/$name"; done
  # The driver sorts the rows by time: an order that is not the names' order.
  touch -m -d '2001-02-03 04:05:06' "$desktop/track02.mp3"
  touch -m -d '2002-02-03 04:05:06' "$desktop/album"
  touch -m -d '2003-02-03 04:05:06' "$desktop/track03.mp3"
  touch -m -d '2004-02-03 04:05:06' "$desktop/track01.mp3"
  before=$(snapshot)
  mkfs.vfat -C "$work/order.img" 8192 >/dev/null
  mount_image "$work/order.img" "$work/order"
  drive 4 "$work/order" bytime order
  unmount_image
  # Wine hands a Linux folder's entries out sorted by name, as NTFS does, so the
  # program reads the card back sorted and must say so; mdir reads the truth.
  expected="コピーしました (4 個)"
  [ "$readback" != "$rows" ] && expected="$expected\n\n順番を保たないドライブです"
  [ "$message" = "$expected" ] && pass "the message is $expected" || fail "the message is '$message'"
  got=$(image_order "$work/order.img" /)
  [ -n "$rows" ] && [ "$got" = "$rows" ] && pass "mdir reads the rows in the list's order: $(echo $got)" ||
    fail "mdir reads '$(echo $got)', the list is '$(echo $rows)'"
  got=$(image_order "$work/order.img" /album)
  # The locale's order, as Windows' Japanese locale gives it: digits first.
  [ "$(echo $got)" = "10.mp3 a.mp3 b.mp3" ] && pass "the sub-folder's contents are in name order" ||
    fail "the sub-folder reads '$(echo $got)'"
  mcopy -n -i "$work/order.img" ::/album/10.mp3 "$work/10.mp3"
  cmp -s "$work/10.mp3" "$desktop/album/10.mp3" && pass "a file on the image has the source's bytes" ||
    fail "the copy's bytes differ"
  [ "$(snapshot)" = "$before" ] && pass "the source is untouched" || fail "the source changed"
}

# Japanese names on exFAT, with a sub-folder whose entries were made out of
# name order.
JapaneseNamesOntoExFat() {
  fresh_folders "$desktop"
  # Longer than the 15 characters one exFAT name entry holds.
  long=とても長い名前の曲は一つの名前の項目に収まらない.mp3
  for name in 夏.mp3 "$long" 春.mp3 秋.mp3; do head -c 9000 /dev/urandom >"$desktop/$name"; done
  mkdir "$desktop/アルバム"
  for name in う.mp3 お.mp3 あ.mp3 え.mp3 い.mp3; do head -c 6000 /dev/urandom >"$desktop/アルバム/$name"; done
  touch -m -d '2001-02-03 04:05:06' "$desktop/秋.mp3"
  touch -m -d '2002-02-03 04:05:06' "$desktop/アルバム"
  touch -m -d '2003-02-03 04:05:06' "$desktop/$long"
  touch -m -d '2004-02-03 04:05:06' "$desktop/春.mp3"
  touch -m -d '2005-02-03 04:05:06' "$desktop/夏.mp3"
  before=$(snapshot)
  # On 8 MiB mkfs.exfat makes 4 KiB clusters, the size Wine reports for every
  # Linux volume, so the check before writing counts as Windows would.
  truncate -s 8M "$work/japanese.img"
  mkfs.exfat "$work/japanese.img" >/dev/null
  if ! no_loop_devices "exFAT copy" && mount_exfat "$work/japanese.img" "$work/japanese"; then
    drive 5 "$work/japanese" bytime japanese
    release_exfat
    [ "$(echo $rows)" = "秋.mp3 アルバム $long 春.mp3 夏.mp3" ] && pass "the rows stand in time order" ||
      fail "the rows are '$(echo $rows)'"
    # Wine lists the mounted folder sorted by name too.
    expected="コピーしました (5 個)"
    [ "$readback" != "$rows" ] && expected="$expected\n\n順番を保たないドライブです"
    [ "$message" = "$expected" ] && pass "the message is $expected" || fail "the message is '$message'"
    got=$("$here/exfat_order.py" "$work/japanese.img" /)
    [ -n "$rows" ] && [ "$got" = "$rows" ] && pass "the image holds the rows in the list's order: $(echo $got)" ||
      fail "the image reads '$(echo $got)', the list is '$(echo $rows)'"
    got=$("$here/exfat_order.py" "$work/japanese.img" /アルバム)
    # Kana in the order of the syllabary, whatever the locale's finer rules.
    [ "$(echo $got)" = "あ.mp3 い.mp3 う.mp3 え.mp3 お.mp3" ] &&
      pass "the sub-folder's contents are in name order" || fail "the sub-folder reads '$(echo $got)'"
    if mount_exfat "$work/japanese.img" "$work/japanese" -r; then
      cmp -s "$work/japanese/アルバム/あ.mp3" "$desktop/アルバム/あ.mp3" &&
        cmp -s "$work/japanese/$long" "$desktop/$long" && pass "files on the image have the source's bytes" ||
        fail "the copies' bytes differ"
      release_exfat
    fi
    [ "$(snapshot)" = "$before" ] && pass "the source is untouched" || fail "the source changed"
  fi
}

# A name the card's file system cannot take stops the copy at that row.
StopsAtANameTheCardRefuses() {
  fresh_folders "$desktop"
  for name in one.mp3 two.mp3 曲.mp3 three.mp3 four.mp3; do printf '%s' "$name" >"$desktop/$name"; done
  mkfs.vfat -C "$work/names.img" 8192 >/dev/null
  mount_image "$work/names.img" "$work/names"
  drive 5 "$work/names" "" names
  unmount_image
  above=$(echo "$rows" | sed '/^曲\.mp3$/,$d')
  case $message in
    "コピーできませんでした\n\n曲.mp3\n"?*) pass "the message names 曲.mp3 and the reason" ;;
    *) fail "the message is '$message'" ;;
  esac
  got=$(image_order "$work/names.img" /)
  [ "$got" = "$above" ] && pass "the rows above it are on the card, in order: $(echo $got)" ||
    fail "the card holds '$(echo $got)', expected '$(echo $above)'"
}

# A full card.
StopsAtAFullCard() {
  fresh_folders "$desktop"
  mkdir "$desktop/many"
  for i in $(seq -w 1 40); do head -c 1025 /dev/urandom >"$desktop/many/f$i.bin"; done
  before=$(snapshot)
  mkfs.vfat -s 16 -C "$work/full.img" 256 >/dev/null
  mount_image "$work/full.img" "$work/full"
  drive 1 "$work/full" "" full
  unmount_image
  stopped=$(printf '%s' "$message" | sed -nE 's/^コピーできませんでした\\n\\nmany\\(f[0-9]+\.bin)\\n.+$/\1/p')
  [ -n "$stopped" ] && pass "the copy stops at many\\$stopped with the message" ||
    fail "the message is '$message'"
  got=$(image_order "$work/full.img" /many)
  expected=$(cd "$desktop/many" && ls | LC_ALL=C sort | sed "/^$stopped\$/,\$d")
  [ -n "$stopped" ] && [ "$got" = "$expected" ] &&
    pass "the card holds the $(echo "$got" | wc -l) files before it and no part of it" ||
    fail "the card holds '$(echo $got)'"
  [ "$(snapshot)" = "$before" ] && pass "the source is untouched" || fail "the source changed"
}

# An ordinary Linux folder on tmpfs.
SaysALinuxFolderDoesNotKeepTheOrder() {
  fresh_folders "$desktop"
  t=1
  for name in c.mp3 曲.mp3 a.mp3 b.mp3; do
    printf '%s' "$name" >"$desktop/$name"
    touch -m -d "2005-01-0$t 00:00:00" "$desktop/$name"
    t=$((t + 1))
  done
  mkdir "$shm/dest"
  drive 4 "$shm/dest" bytime linux
  [ "$(echo $rows)" = "c.mp3 曲.mp3 a.mp3 b.mp3" ] && pass "the rows stand in time order" ||
    fail "the rows are '$(echo $rows)'"
  if [ "$readback" != "$rows" ]; then
    [ "$message" = "コピーしました (4 個)\n\n順番を保たないドライブです" ] &&
      pass "a read-back order of '$(echo $readback)' against '$(echo $rows)' gives the line" ||
      fail "the message is '$message' with read-back '$(echo $readback)'"
  else
    [ "$message" = "コピーしました (4 個)" ] && pass "the same order gives no line" ||
      fail "the message is '$message'"
  fi
}

# Esc stops a long copy after the current file; nothing half written.
EscStopsALongCopy() {
  fresh_folders "$desktop"
  # Sparse: made at once, read as zeros.
  for i in $(seq -w 1 30); do truncate -s 20000000 "$desktop/big$i.bin"; done
  mkdir "$shm/stop"
  drive 30 "$shm/stop" stop stop
  count=$(printf '%s' "$message" | sed -nE 's/^コピーを中止しました \(([0-9]+) \/ 30 個\)$/\1/p')
  [ -n "$count" ] && pass "the message counts $count of 30 rows copied" || fail "the message is '$message'"
  left=$(find "$shm/stop" -mindepth 1 | wc -l)
  [ "$left" = "$count" ] && pass "the destination holds exactly those $left rows" ||
    fail "the destination holds $left entries"
  whole=$(find "$shm/stop/" -type f -size 20000000c | wc -l)
  [ "$whole" = "$left" ] && pass "every file left is whole" || fail "$((left - whole)) files are partial"
}

case ${4:-} in
  OntoFat | JapaneseNamesOntoExFat | StopsAtANameTheCardRefuses | StopsAtAFullCard | \
    SaysALinuxFolderDoesNotKeepTheOrder | EscStopsALongCopy) "$4" ;;
  *) echo "usage: run_copy_e2e.sh <Chronoseq.exe> <copy driver.exe> <artefact folder> <scenario>" >&2; exit 2 ;;
esac
exit "$status"
