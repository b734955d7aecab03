# Reading and driving the program's windows through the X server, as a user
# would: sourced by the end-to-end scripts that start Chronoseq.exe alone.
# shellcheck shell=bash

# The X windows on the screen now, one a line.
visible_windows() { xdotool search --onlyvisible --class . 2>/dev/null || true; }

# The main window's X window, or nothing yet. Another window may carry the
# same name with no size on the screen; the main window is the large one.
main_window() {
  local candidate
  for candidate in $(xdotool search --onlyvisible --name '^Chronoseq$' 2>/dev/null || true); do
    if [ "$(xdotool getwindowgeometry --shell "$candidate" | sed -n 's/^WIDTH=//p')" -gt 300 ]; then
      echo "$candidate"
      return
    fi
  done
}

# wait_for_main_window PID: sets wid once the main window is on the screen;
# false after 20 seconds or when PID has ended.
wait_for_main_window() {
  local _
  wid=""
  for _ in $(seq 1 200); do
    wid=$(main_window)
    [ -n "$wid" ] && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# box_over MAIN: a box of the program (named as it is, with a size on the
# screen) other than the main window MAIN, or nothing.
box_over() {
  local candidate
  for candidate in $(xdotool search --onlyvisible --name '^Chronoseq$' 2>/dev/null || true); do
    [ "$candidate" = "$1" ] && continue
    if [ "$(xdotool getwindowgeometry --shell "$candidate" | sed -n 's/^WIDTH=//p')" -gt 50 ]; then
      echo "$candidate"
      return
    fi
  done
}

# wait_for_box MAIN [gone]: until a box is over MAIN, or with "gone" until
# none is (at most 10 seconds); whether it came to that.
wait_for_box() {
  local _ box
  for _ in $(seq 1 200); do
    box=$(box_over "$1")
    if [ "${2:-}" = gone ]; then [ -z "$box" ] && return 0; else [ -n "$box" ] && return 0; fi
    sleep 0.05
  done
  return 1
}

# wait_for_window_count N: until N windows are on the screen (at most 10
# seconds); whether they are.
wait_for_window_count() {
  local _
  for _ in $(seq 1 200); do
    [ "$(visible_windows | wc -l)" -eq "$1" ] && return 0
    sleep 0.05
  done
  return 1
}

# choose_from_file_menu WID KEY: Alt+F opens the File menu, and once its
# popup is on the screen, KEY chooses the item.
choose_from_file_menu() {
  local before
  before=$(visible_windows | wc -l)
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  xdotool key --window "$1" alt+f
  wait_for_window_count "$((before + 1))" || echo "the menu did not open"
  xdotool key "$2"
}

# ended PID: whether PID ends within ten seconds.
ended() {
  local _
  for _ in $(seq 1 100); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
