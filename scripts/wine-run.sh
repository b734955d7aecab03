#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix: the
# CMAKE_CROSSCOMPILING_EMULATOR of the Windows build, and how run.sh starts
# the program. Prepares the prefix on first use, starts the wineserver
# detached, and exits with the program's exit code.
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
  exec wine "$@" </dev/null
fi
exec wine "$@"
