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

trap '"$repo/scripts/wine-server.sh" stop' EXIT

scripts/install-deps.sh

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
    "${runner[@]}" "$exe" </dev/null || { echo "== $preset: ${exe##*/} FAILED"; status=1; }
  done
done
exit "$status"
