#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under
# Wine on your display ($DISPLAY). The Wine prefix is one of its own,
# build/windows/run-wineprefix, prepared like the tests' but apart from it, so
# that nothing the tests leave on their Desktop shows up here.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
cd "$repo"

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: DISPLAY is not set; the program needs an X display" >&2
  exit 1
fi

export CHRONOSEQ_WINEPREFIX="$repo/build/windows/run-wineprefix"

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Chronoseq
# The program keeps its window settings file in its working directory.
cd build/windows/src
exec "$repo/scripts/wine-run.sh" Chronoseq.exe
