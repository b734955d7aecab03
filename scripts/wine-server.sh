#!/usr/bin/env bash
# start [KEEPER.exe]: prepares the project's Wine prefix and starts its
# wineserver and background services detached from the caller's streams, and
# on an X display the desktop with KEEPER.exe holding it open.
# stop: ends every Wine process of that prefix and waits until they are gone.
# The Windows tests run between the two as a ctest fixture.
set -euo pipefail
# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

case "${1:-}" in
  start)
    "$chronoseq_repo/scripts/wine-prefix.sh"
    chronoseq_wineserver_up
    [ -z "${2:-}" ] || chronoseq_desktop_up "$2"
    ;;
  stop)
    chronoseq_wineserver_down
    ;;
  *)
    echo "usage: wine-server.sh start [KEEPER.exe] | stop" >&2
    exit 2
    ;;
esac
