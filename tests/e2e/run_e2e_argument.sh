#!/usr/bin/env bash
# End to end: the built Chronoseq.exe under Wine, started with a folder as its
# first argument (as Explorer's "送る" starts it), opens that folder rather
# than the desktop, and stamps it driven from outside. The new times are read
# from disk with the system's own stat.
# Usage: run_e2e_argument.sh <Chronoseq.exe> <driver.exe> <artefact folder>
set -euo pipefail
# shellcheck source=tests/e2e/e2e_start.sh
source "$(dirname "$0")/e2e_start.sh"
given="$prefix/drive_c/users/$user/送る テスト"

# The desktop holds one file, the given folder three: only the latter may change.
fresh_folders "$desktop" "$given"
printf 'x' >"$desktop/untouched.txt"
touch -m -d "2001-02-03 04:05:06" "$desktop/untouched.txt"
for name in 1.mp3 2.mp3 写真.jpg; do
  printf 'x' >"$given/$name"
  touch -m -d "2001-02-03 04:05:06" "$given/$name"
done

log="$artefacts/e2e-argument-driver.log"
status=0
"$run" "$driver" "Z:${exe//\//\\}" "C:\\users\\$user\\送る テスト" 2009 3 5 12 30 0 argument \
  >"$log" 2>&1 || status=$?
cat "$log"
grep -q "0 failed" "$log" || status=1

# Every row of the given folder got 12:30, 12:31 or 12:32 on 5 March 2009 in
# the row order the driver printed; the desktop's file kept its time.
k=0
while IFS=$'\t' read -r _ row name _; do
  expected=$(TZ=${TZ:-Asia/Tokyo} date -d "2009-03-05 12:3${row}:00" +%s)
  actual=$(stat -c %Y -- "$given/$name")
  if [ "$actual" = "$expected" ]; then
    echo "ok: $name was stamped 2009/03/05 12:3${row}:00"
  else
    echo "FAILED: $name has $(date -d "@$actual") on disk"; status=1
  fi
  k=$((k + 1))
done < <(grep -P '^row\t' "$log")
[ "$k" -eq 3 ] || { echo "FAILED: $k rows reported"; status=1; }
if [ "$(stat -c %Y -- "$desktop/untouched.txt")" = "$(date -d "2001-02-03 04:05:06" +%s)" ]; then
  echo "ok: the desktop's file is untouched"
else
  echo "FAILED: the desktop's file was changed"; status=1
fi
exit "$status"
