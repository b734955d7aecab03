#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and runs
# every test tier in the presets linux, linux-asan and windows (the last under
# Wine, on a private Xvfb display). Prints each step's outcome and ctest's
# summary; the full logs stay in build/<preset>/. Exits non-zero if any step of
# any preset failed, and leaves no process of its own running.
#
#   scripts/test.sh                 all three presets
#   scripts/test.sh linux windows   only these
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
cd "$repo"

presets=("$@")
((${#presets[@]})) || presets=(linux linux-asan windows)

# Whatever happens, the Windows tests' wineserver does not outlive this run
# (the Xvfb of with-xvfb.sh stops itself).
trap '"$repo/scripts/wine-server.sh" stop' EXIT

step() { printf '== %-12s %s\n' "$1" "$2"; }
elapsed() { echo "$((SECONDS - $1)) s"; }

t=$SECONDS
scripts/install-deps.sh
step deps "ready ($(elapsed $t))"

failed=()

# run_step <preset> <what> <log> <command>...: runs the command with its output
# in the log; on failure shows the log's end and records the preset.
run_step() {
  local preset=$1 what=$2 log=$3
  shift 3
  local t=$SECONDS
  if "$@" </dev/null >"$log" 2>&1; then
    step "$preset" "$what: ok ($(elapsed $t))"
    return 0
  fi
  step "$preset" "$what: FAILED ($(elapsed $t)), end of $log:"
  tail -n 60 "$log"
  failed+=("$preset $what")
  return 1
}

# run_tests <preset> <command>...: ctest with its whole output in the log;
# prints the summary, and on failure everything ctest printed.
run_tests() {
  local preset=$1
  shift
  local log=build/$preset/ctest.log t=$SECONDS status=0
  "$@" </dev/null >"$log" 2>&1 || status=$?
  if ((status)); then
    cat "$log"
    failed+=("$preset tests")
  else
    sed -n '/tests passed/,$p' "$log"
  fi
  step "$preset" "tests: $( ((status)) && echo FAILED || echo ok) ($(elapsed $t))"
}

for preset in "${presets[@]}"; do
  mkdir -p "build/$preset"
  run_step "$preset" configure "build/$preset/configure.log" cmake --preset "$preset" || continue
  run_step "$preset" build "build/$preset/build.log" cmake --build --preset "$preset" || continue
  if [ "$preset" = windows ]; then
    run_step "$preset" "Wine prefix" "build/$preset/wine-prefix.log" scripts/wine-prefix.sh || continue
    # shellcheck disable=SC2016 # expanded by the inner shell
    run_tests "$preset" scripts/with-xvfb.sh bash -c \
      'status=0; ctest --preset windows || status=$?; scripts/wine-server.sh stop; exit $status'
  else
    run_tests "$preset" ctest --preset "$preset"
  fi
done

if ((${#failed[@]})); then
  printf '== FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "== all passed ($(elapsed 0))"
