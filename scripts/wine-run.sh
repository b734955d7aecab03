#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix: the
# CMAKE_CROSSCOMPILING_EMULATOR of the Windows build, and how run.sh starts
# the program. Prepares the prefix on first use, starts the wineserver
# detached, and exits with the program's exit code.
#
# Should Wine end a process before any of the program's own code has run (as
# it did now and then, see chronoseq_fixed_layout in wine-env.sh), a test
# program tells: one built with tests/wine/start_marker.cpp creates the file
# named by CHRONOSEQ_START_MARKER first thing. A start that left no such file
# is made once more, saying so on stderr, and a second such start fails; a
# program that did start is never started again, whatever its result.
#
# CHRONOSEQ_WINE_LOG=DIR keeps a record of every start of a test program in
# DIR/starts (status, milliseconds, whether it started) and, for each one that
# failed or did not start, Wine's error messages and which loaded DLLs in
# DIR/<start>.stderr, with the Wine processes running at its end.
set -euo pipefail
# Run once per test case: no more processes than needed.
case ${BASH_SOURCE[0]} in */*) here=${BASH_SOURCE[0]%/*} ;; *) here=. ;; esac
# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh"

if [ $# -eq 0 ]; then
  echo "usage: wine-run.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

chronoseq_prefix_ready || "$chronoseq_repo/scripts/wine-prefix.sh"
chronoseq_wineserver_up

# The programs read no input: a terminal or a closed stdin becomes /dev/null,
# so Wine's console never works on the caller's terminal. A pipe or a file is
# passed on.
if [ -t 0 ] || ! { true <&0; } 2>/dev/null; then
  exec </dev/null
fi

# Anything else (Chronoseq.exe itself, the end-to-end driver) runs as it is.
if ! LC_ALL=C grep -qaF CHRONOSEQ_START_MARKER "$1" 2>/dev/null; then
  exec "${chronoseq_fixed_layout[@]}" wine "$@"
fi

marker_dir=$(mktemp -d "${TMPDIR:-/tmp}/chronoseq-start.XXXXXX")
marker="$marker_dir/started"
export CHRONOSEQ_START_MARKER="Z:${marker//\//\\}"
child=""
# shellcheck disable=SC2317 # reached through the traps
forward() {
  [ -z "$child" ] || kill "-$1" "$child" 2>/dev/null || true
}
trap 'rm -rf "$marker_dir"' EXIT
trap 'forward TERM' TERM
trap 'forward INT' INT
trap 'forward HUP' HUP

keeper_state() {
  local pidfile="$WINEPREFIX/.desktop-keeper.pid"
  if [ -z "${DISPLAY:-}" ]; then
    echo "no X display, no desktop keeper"
  elif [ -f "$pidfile" ] && kill -0 "$(<"$pidfile")" 2>/dev/null; then
    echo "desktop keeper running"
  else
    echo "desktop keeper not running"
  fi
}

for attempt in 1 2; do
  rm -f "$marker"
  began=$(date +%s%N)
  if [ -n "${CHRONOSEQ_WINE_LOG:-}" ]; then
    log="$CHRONOSEQ_WINE_LOG/$began-$$"
    WINEDEBUG=-all,err+all,+loaddll "${chronoseq_fixed_layout[@]}" wine "$@" <&0 2>"$log.stderr" &
  else
    "${chronoseq_fixed_layout[@]}" wine "$@" <&0 &
  fi
  child=$!
  while :; do
    status=0
    wait "$child" || status=$?
    # A trapped signal ends the wait early while the program runs on.
    if [ "$status" -le 128 ] || ! kill -0 "$child" 2>/dev/null; then break; fi
  done
  child=""
  ms=$((($(date +%s%N) - began) / 1000000))
  if [ -n "${CHRONOSEQ_WINE_LOG:-}" ]; then
    # The program's own messages go on to the caller, Wine's stay in the file.
    grep -av -E '^[0-9a-f]{4}:(err|trace):' "$log.stderr" >&2 || true
    started=no
    [ -e "$marker" ] && started=yes
    echo "${log##*/} status=$status ms=$ms started=$started $*" >>"$CHRONOSEQ_WINE_LOG/starts"
    if [ "$status" -eq 0 ] && [ "$started" = yes ]; then
      rm -f "$log.stderr"
    else
      # shellcheck disable=SC2009 # ps for each one's parent and age
      { echo "--- $(keeper_state); Wine processes:"; ps -eo pid,ppid,stat,etimes,args | grep -aE '[w]ine|[.]exe'; } >>"$log.stderr" || true
    fi
  fi
  [ -e "$marker" ] && exit "$status"
  what="${1##*/} ended with status $status after $ms ms without starting (no start marker; $(keeper_state))"
  if [ "$attempt" -eq 1 ]; then
    echo "wine-run.sh: $what: starting it once more" >&2
  else
    echo "wine-run.sh: $what, a second time: failing" >&2
  fi
done
[ "$status" -ne 0 ] || status=1
exit "$status"
