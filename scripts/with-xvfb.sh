#!/usr/bin/env bash
# with-xvfb.sh COMMAND [ARGS...]
# Runs COMMAND with DISPLAY set to a private Xvfb server, on a display number
# the server picks itself among the free ones (or $CHRONOSEQ_XVFB_DISPLAY),
# with openbox as window manager
# (without one, Wine stalls on every hide or destroy of a window and focus
# follows the pointer). Stops both afterwards and exits with COMMAND's status.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: with-xvfb.sh COMMAND [ARGS...]" >&2
  exit 2
fi

: "${CHRONOSEQ_SCREEN:=1280x1024x24}"

workdir=$(mktemp -d "${TMPDIR:-/tmp}/chronoseq-xvfb.XXXXXX")
xvfb_pid=""
openbox_pid=""

# shellcheck disable=SC2317 # reached through the EXIT trap
stop_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

# shellcheck disable=SC2317
cleanup() {
  stop_pid "$openbox_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# -displayfd: Xvfb takes the first free display number and writes it to the
# given descriptor once it accepts connections; CHRONOSEQ_XVFB_DISPLAY asks for
# a fixed number instead. Streams on /dev/null or a log, so no reader of ours
# waits for them.
where=()
[ -n "${CHRONOSEQ_XVFB_DISPLAY:-}" ] && where=(":${CHRONOSEQ_XVFB_DISPLAY#:}")
Xvfb "${where[@]}" -displayfd 3 -screen 0 "$CHRONOSEQ_SCREEN" -nolisten tcp -noreset \
  3>"$workdir/display" </dev/null >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$workdir/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if ! [ -s "$workdir/display" ]; then
  echo "with-xvfb.sh: Xvfb did not start:" >&2
  cat "$workdir/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(tr -dc '0-9' <"$workdir/display")"
export DISPLAY

openbox --sm-disable </dev/null >"$workdir/openbox.log" 2>&1 &
openbox_pid=$!
# Ready once it has claimed the root window as the window manager.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$openbox_pid" 2>/dev/null || break
  sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  echo "with-xvfb.sh: openbox did not start:" >&2
  cat "$workdir/openbox.log" >&2
  exit 1
fi

echo "X display $DISPLAY (Xvfb $CHRONOSEQ_SCREEN, openbox)" >&2
status=0
"$@" || status=$?
exit "$status"
