#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix: the
# CMAKE_CROSSCOMPILING_EMULATOR of the Windows build, and how run.sh starts
# the program. Prepares the prefix on first use, starts the wineserver
# detached, and exits with the program's exit code.
set -euo pipefail
# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if [ $# -eq 0 ]; then
  echo "usage: wine-run.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

chronoseq_prefix_ready || "$chronoseq_repo/scripts/wine-prefix.sh"
chronoseq_wineserver_up

# A terminal on stdin would be taken over by Wine's console, and a closed stdin
# confuses it; a pipe or file is passed on.
if [ -t 0 ] || ! { true <&0; } 2>/dev/null; then
  exec wine "$@" </dev/null
fi
exec wine "$@"
