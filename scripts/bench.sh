#!/usr/bin/env bash
# Builds the benchmarks in the presets linux and windows and runs each one
# (the Windows ones under Wine, on a private Xvfb display), printing their
# output. Not part of the tests: the figures are ratios to judge, not checks.
#
#   scripts/bench.sh                 both presets
#   scripts/bench.sh linux           only this one
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
cd "$repo"

presets=("$@")
((${#presets[@]})) || presets=(linux windows)

# The listing benchmark's folder of 100,000 files, made natively: under Wine
# making it takes the better part of an hour. Last-write times spread over
# twenty years, one every 6311 seconds, so the local-time conversion meets
# many dates rather than one.
listing_count=100000
listing_folder=$(mktemp -d "${TMPDIR:-/tmp}/chronoseq-listing.XXXXXX")
# The reorder benchmark's card: an exFAT image mounted with exfat-fuse on a
# loop device (so as root), where that can be had; else the benchmark's own
# temporary folder, and it says so. (fusefat's FAT16 is no card for 2,000
# entries: it takes over a second per file made once a folder holds 500.)
card_image=$listing_folder.img
card=$listing_folder.card
card_mounted=""
card_loop=""
cleanup() {
  "$repo/scripts/wine-server.sh" stop
  [ -n "$card_mounted" ] && fusermount -u "$card" 2>/dev/null
  [ -n "$card_loop" ] && losetup -d "$card_loop" 2>/dev/null
  rm -rf "$listing_folder" "$card_image" "$card"
}
trap cleanup EXIT
perl -e '
  my ($dir, $count) = @ARGV;
  my $base = 946684800;  # 2000-01-01 00:00:00 UTC
  for my $i (0 .. $count - 1) {
    my $path = sprintf("%s/file%06d.dat", $dir, $i);
    open(my $f, ">", $path) or die "$path: $!";
    close($f);
    my $t = $base + $i * 6311;
    utime($t, $t, $path) or die "$path: $!";
  }' "$listing_folder" "$listing_count"

scripts/install-deps.sh

if [ -e /dev/fuse ] && command -v mkfs.exfat >/dev/null && command -v mount.exfat-fuse >/dev/null; then
  truncate -s 64M "$card_image"
  mkfs.exfat "$card_image" >/dev/null
  mkdir -p "$card"
  if card_loop=$(losetup -f --show "$card_image" 2>/dev/null); then
    mount.exfat-fuse "$card_loop" "$card" && card_mounted=yes
  else
    card_loop=""
  fi
fi
if [ -n "$card_mounted" ]; then
  echo "== the reorder benchmark runs on an exFAT image ($card)"
else
  echo "== no loop device or FUSE here: the reorder benchmark runs in a plain folder"
fi

status=0
for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  mkdir -p "build/$preset"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } \
    </dev/null >"build/$preset/bench-build.log" 2>&1; then
    tail -n 60 "build/$preset/bench-build.log"
    status=1
    continue
  fi
  list="build/$preset/bench/benchmarks.txt"
  mapfile -t benchmarks <"$list"
  if ((${#benchmarks[@]} == 0)); then
    echo "== $preset: no benchmarks"
    continue
  fi
  runner=()
  [ "$preset" = windows ] && runner=(scripts/with-xvfb.sh scripts/wine-run.sh)
  for exe in "${benchmarks[@]}"; do
    [ -n "$exe" ] || continue
    echo "== $preset: ${exe##*/}"
    args=()
    if [[ $exe == *listing_bench* ]]; then
      args=("$listing_count" "$listing_folder")
      # Wine sees the host's root as drive Z:.
      [ "$preset" = windows ] && args=("$listing_count" "Z:${listing_folder//\//\\}")
    fi
    if [[ $exe == *reorder_bench* && -n $card_mounted ]]; then
      args=("$card")
      [ "$preset" = windows ] && args=("Z:${card//\//\\}")
    fi
    "${runner[@]}" "$exe" "${args[@]}" </dev/null || { echo "== $preset: ${exe##*/} FAILED"; status=1; }
  done
done
exit "$status"
