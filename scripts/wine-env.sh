# shellcheck shell=bash
# Sourced by the wine-*.sh scripts: the environment every Wine call of the
# project runs in, and the helpers that keep the wineserver off our pipes.
#
# The prefix is $CHRONOSEQ_WINEPREFIX if set, else build/windows/wineprefix in
# the repository that holds these scripts. A WINEPREFIX from the caller's shell
# is ignored on purpose: the tests replace folders inside the prefix, so they
# must never run in someone's everyday prefix.

chronoseq_repo=$(cd "${BASH_SOURCE[0]%/*}/.." && pwd -P)

export WINEPREFIX="${CHRONOSEQ_WINEPREFIX:-$chronoseq_repo/build/windows/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# Code page 932, "/" and ":" as separators and a Japanese zone, as on the
# Windows the program is written for. LC_ALL too, so a caller's LC_ALL=C
# cannot turn non-ASCII file names and argv into question marks.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# CHRONOSEQ_TZ picks another zone for a run (the tests of clock changes).
export TZ="${CHRONOSEQ_TZ:-Asia/Tokyo}"
# DISPLAY is left as the caller has it: GUI tests get the Xvfb one, run.sh the
# user's.

# Every Wine process of the project starts without address space layout
# randomisation, and what it starts inherits that. Debian's wine64 has no
# preloader to reserve Wine's fixed addresses first, and is linked at
# 0x7d000000; this kernel starts its heap anywhere in the 1 GiB above it. Now
# and then the heap covers 0x7ffe0000, where Wine maps the shared user data,
# and the process ends with status 1 before the program runs ("failed to map
# the shared user data: c0000018", an error that WINEDEBUG=-all hides).
# Without randomisation the heap starts right after the loader.
chronoseq_fixed_layout=(setarch -R)

# Seconds an idle wineserver stays up. Long enough to carry a whole ctest run
# between test processes, short enough that nothing lingers for good when a
# run is interrupted before its cleanup.
: "${CHRONOSEQ_WINESERVER_PERSIST:=60}"

# Bumped whenever wine-prefix.sh prepares the prefix differently, so that an
# old prefix in a build tree is made again.
chronoseq_prefix_recipe="chronoseq-prefix 2"
chronoseq_prefix_stamp="$WINEPREFIX/.chronoseq-prepared"
chronoseq_lock="$WINEPREFIX.lock"

chronoseq_prefix_ready() {
  local recipe
  [ -f "$chronoseq_prefix_stamp" ] && read -r recipe <"$chronoseq_prefix_stamp" &&
    [ "$recipe" = "$chronoseq_prefix_recipe" ]
}

# Starts the wineserver and Wine's background services with their standard
# streams on /dev/null, unless they already run. Whatever Wine process comes
# first otherwise starts them itself, they inherit that process's stdout and
# stderr, and whoever reads those pipes (ctest, execute_process, $(...))
# waits until the server exits: 3 s per call, or for good with a persistent
# server. Serialised by a lock so that concurrent callers boot it once.
# Uses descriptor 9 for the lock.
chronoseq_wineserver_up() {
  [ -d "${WINEPREFIX%/*}" ] || mkdir -p "${WINEPREFIX%/*}"
  exec 9>"$chronoseq_lock"
  flock 9
  # Exit status 0: this call started the server (2: one was running). Neither
  # it nor what it starts may inherit the lock, or they hold it as long as
  # they live.
  if wineserver "-p$CHRONOSEQ_WINESERVER_PERSIST" </dev/null >/dev/null 2>&1 9>&-; then
    "${chronoseq_fixed_layout[@]}" wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
  exec 9>&-
}

# chronoseq_desktop_up KEEPER.exe: on an X display, starts the keeper of
# Wine's desktop (tests/wine/desktop_keeper.cpp) detached, unless it runs, and
# waits until the desktop is up. Without it every test that opens a window
# starts the desktop process, which holds that test's stderr for a second
# after the test ends.
chronoseq_desktop_up() {
  local keeper=$1 pidfile="$WINEPREFIX/.desktop-keeper.pid" ready="$WINEPREFIX/.desktop-keeper.ready"
  [ -n "${DISPLAY:-}" ] || return 0
  if [ -f "$pidfile" ] && kill -0 "$(<"$pidfile")" 2>/dev/null; then
    return 0
  fi
  rm -f "$ready"
  # Bounded, so that an interrupted run does not keep the server up for good.
  setsid "${chronoseq_fixed_layout[@]}" wine "$keeper" 7200 </dev/null >"$ready" 2>/dev/null 9>&- &
  echo $! >"$pidfile"
  local pid=$! _ state
  for _ in $(seq 600); do
    grep -q ready "$ready" 2>/dev/null && return 0
    # Gone, or a zombie not yet reaped by this shell.
    if ! read -r _ _ state _ <"/proc/$pid/stat" 2>/dev/null || [ "$state" = Z ]; then
      break
    fi
    sleep 0.1
  done
  echo "wine-env.sh: the desktop keeper did not start; tests that open windows will be slower" >&2
}

# Stops this prefix's wineserver and every Wine process in it, and waits until
# they are gone. Never touches another prefix's server.
chronoseq_wineserver_down() {
  [ -d "$WINEPREFIX" ] || return 0
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX/.desktop-keeper.pid" "$WINEPREFIX/.desktop-keeper.ready"
}
