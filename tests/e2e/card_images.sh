# The card images of the end-to-end scripts of the card commands (the copy
# in order, the reorder where it stands), sourced after e2e_start.sh: FAT
# images mounted with fusefat, exFAT images mounted with exfat-fuse on a loop
# device (so as root), their order read straight from the image, and a run
# of the command's driver with the lines it prints read back. Makes the work
# folder; the script's EXIT trap calls release_cards and removes it.
# shellcheck shell=bash disable=SC2034,SC2154  # names for and from the scripts around it

for tool in mkfs.vfat fusefat fusermount mdir mkfs.exfat mount.exfat-fuse losetup python3; do
  command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (scripts/install-deps.sh)"; exit 1; }
done
work=$(mktemp -d)
mounted=""
loop=""

# Whatever is still mounted or on a loop device when the script ends.
release_cards() {
  [ -n "$mounted" ] && fusermount -u "$mounted" 2>/dev/null
  [ -n "$loop" ] && losetup -d "$loop" 2>/dev/null
  return 0
}

# drive_card LOG TAG ARGUMENTS...: runs the driver on the program with the
# arguments, its output into LOG and shown; sets rows (the list's names, in
# order), question, message and readback from its lines.
drive_card() {
  local log=$1 tag=$2
  shift 2
  local code=0
  "$run" "$driver" "Z:${exe//\//\\}" "$@" >"$log" 2>&1 || code=$?
  cat "$log"
  [ "$code" -eq 0 ] || fail "the driver reports failures ($tag)"
  # Wine's console ends lines with CR LF.
  rows=$(tr -d '\r' <"$log" | awk -F'\t' '$1 == "row" { print $3 }')
  question=$(tr -d '\r' <"$log" | awk -F'\t' '$1 == "question" { print $2 }')
  message=$(tr -d '\r' <"$log" | awk -F'\t' '$1 == "message" { print $2 }')
  readback=$(tr -d '\r' <"$log" | awk -F'\t' '$1 == "readback" { print $2 }')
}

# The long names of a folder of a FAT image in their on-disk order.
image_order() {
  LANG=ja_JP.UTF-8 mdir -i "$1" "::$2" 2>/dev/null |
    sed -nE 's/^.* [0-9]{4}-[0-9]{2}-[0-9]{2} +[0-9]{1,2}:[0-9]{2} +(.+)$/\1/p'
}

# mount_image IMAGE FOLDER: a FAT image, writable.
mount_image() {
  mkdir -p "$2"
  fusefat -o rw+ "$1" "$2"
  mounted=$2
}
# Retried: the last Wine handle on the mount may take a moment to go.
unmount_image() {
  local tries=0
  while mountpoint -q "$mounted" && [ $tries -lt 50 ]; do
    fusermount -u "$mounted" 2>/dev/null || sleep 0.2
    tries=$((tries + 1))
  done
  mounted=""
}

# no_loop_devices WHAT: true, having said that WHAT is not shown, on a kernel
# without loop devices, which cannot take an exFAT scenario at all. Where
# they exist, any failure to mount fails the test.
no_loop_devices() {
  if [ -e /dev/loop-control ] || [ -e /dev/loop0 ]; then return 1; fi
  echo "SKIPPED: this kernel has no loop devices, so the $1 is not shown"
}

# mount_exfat IMAGE FOLDER [-r]: exfat-fuse takes a block device only, so
# the image goes onto a loop device (read-only with -r), which needs root.
# Says why when it cannot.
mount_exfat() {
  local image=$1 folder=$2 option=${3:-}
  mkdir -p "$folder"
  loop=$(losetup -f --show ${option:+"$option"} "$image") || {
    loop=""
    fail "no loop device for $image (losetup needs root and /dev/loop*): the exFAT scenario is not shown"
    return 1
  }
  mount.exfat-fuse ${option:+-o ro} "$loop" "$folder" || {
    fail "mount.exfat-fuse cannot mount $image on $loop"
    release_exfat
    return 1
  }
  mounted=$folder
}
release_exfat() {
  unmount_image
  losetup -d "$loop"
  loop=""
}
