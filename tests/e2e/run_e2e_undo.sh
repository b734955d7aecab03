#!/usr/bin/env bash
# End to end: the built Chronoseq.exe under Wine, driven from outside, stamps
# its start folder with all three times and takes the run back with
# "元に戻す(&U)". The times before and after are read from disk with the
# system's own stat, to the nanosecond it prints.
# Usage: run_e2e_undo.sh <Chronoseq.exe> <driver.exe> <artefact folder>
set -euo pipefail
# shellcheck source=tests/e2e/e2e_start.sh
source "$(dirname "$0")/e2e_start.sh"

# A fresh start folder of four files with odd, sub-second old times.
fresh_folders "$desktop"
i=0
for name in alpha.txt beta.txt 日本語.txt 文件.txt; do
  printf 'x' >"$desktop/$name"
  touch -m -d "2001-02-0$((i + 1)) 03:04:05.123456$((i + 1))00" "$desktop/$name"
  touch -a -d "2002-06-0$((i + 1)) 07:08:09.765432$((i + 1))00" "$desktop/$name"
  i=$((i + 1))
done
before=$(cd "$desktop" && stat -c '%n %x %y' -- * | sort)

log="$artefacts/e2e-undo-driver.log"
status=0
"$run" "$driver" "Z:${exe//\//\\}" \
  "C:\\users\\$(id -un)\\Desktop" 2009 3 5 12 30 0 undo >"$log" 2>&1 || status=$?
cat "$log"

after=$(cd "$desktop" && stat -c '%n %x %y' -- * | sort)
if [ "$after" = "$before" ]; then
  echo "ok: stat shows every access and write time as before the run"
else
  echo "FAILED: stat shows"; echo "$after"; echo "expected"; echo "$before"
  status=1
fi
exit "$status"
