#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time from a checked-in corpus, which
# it leaves unchanged (new inputs go to a scratch folder).
#   fuzz-run.sh TARGET CORPUS SECONDS [more libFuzzer options]
# Prints the number of inputs run; exits non-zero when the target finds a
# failing input (the input and the sanitizer's report are printed).
set -uo pipefail
target=$(realpath "$1") corpus=$(realpath "$2") seconds=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cd "$work"
"$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=5 -rss_limit_mb=1024 \
  "$@" "$work/corpus" "$corpus" >"$work/log" 2>&1
status=$?
grep -E "^INFO: seed corpus|^#[0-9]+ +DONE|^stat::number_of_executed_units" "$work/log"
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log"
  for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-*; do
    [ -e "$crash" ] && { echo "input $crash:"; od -c "$crash" | head -20; }
  done
fi
exit "$status"
