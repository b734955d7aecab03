#!/usr/bin/env bash
# Prepares the project's Wine prefix (see wine-env.sh for where it lives):
# a Japanese 64-bit Windows without the Mono and Gecko installers, with
# Japanese UI fonts mapped to installed CJK fonts, the Tokyo time zone and a
# Desktop folder of its own. Does nothing when the prefix is already prepared.
set -euo pipefail
# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

chronoseq_prefix_ready && exit 0

mkdir -p "${WINEPREFIX%/*}"
exec 9>"$chronoseq_lock"
flock 9
chronoseq_prefix_ready && exit 0 # prepared by a concurrent call meanwhile

# A half-made or outdated prefix is made again from scratch, but only if it is
# recognisably a Wine prefix: the path may come from the environment.
if [ -e "$WINEPREFIX" ]; then
  if [ -f "$WINEPREFIX/system.reg" ] || [ -z "$(ls -A "$WINEPREFIX")" ]; then
    chronoseq_wineserver_down
    rm -rf "$WINEPREFIX"
  else
    echo "wine-prefix.sh: $WINEPREFIX exists and is not a Wine prefix; not touching it" >&2
    exit 1
  fi
fi

echo "Preparing the Wine prefix $WINEPREFIX" >&2
started=$SECONDS

# All output to /dev/null: the server started here must not hold the
# caller's pipes (see chronoseq_wineserver_up); nor the lock (fd 9).
"${chronoseq_fixed_layout[@]}" wineboot -i </dev/null >/dev/null 2>&1 9>&-
# The registry reaches the disk only when the server exits; wait for that
# before reading or changing it.
wineserver -w </dev/null >/dev/null 2>&1 9>&-

# Japanese UI faces a Windows program asks for, mapped to what is installed.
# Proportional faces go to a proportional font, "ＭＳ ゴシック" to a
# fixed-pitch one. Monapo is drawn to the widths of "ＭＳ Ｐゴシック", so the
# design's sizes hold: at 12 pixels "2009/03/05 12:30:00" measures 104 pixels
# in it (IPAPGothic: 135, past the 120-pixel time column) and "2009" 24
# (IPAPGothic: 32, the year field has 41 less its frame and margins).
families=$(fc-list : family | tr ',' '\n')
have_font() { grep -qxF "$1" <<<"$families"; }
pick_font() {
  local f
  for f in "$@"; do
    if have_font "$f"; then
      echo "$f"
      return
    fi
  done
  echo "wine-prefix.sh: none of these fonts is installed: $*" >&2
  return 1
}
proportional=$(pick_font "Monapo" "IPAPGothic" "Noto Sans CJK JP")
fixed=$(pick_font "IPAGothic" "Noto Sans Mono CJK JP")

reg_file="$WINEPREFIX/drive_c/chronoseq-setup.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  printf '"ＭＳ Ｐゴシック"="%s"\r\n' "$proportional"
  printf '"MS PGothic"="%s"\r\n' "$proportional"
  printf '"MS UI Gothic"="%s"\r\n' "$proportional"
  # Wine maps the dialog face to "MS UI Gothic" but does not follow a
  # substitute of a substitute.
  printf '"MS Shell Dlg"="%s"\r\n' "$proportional"
  printf '"ＭＳ ゴシック"="%s"\r\n' "$fixed"
  printf '"MS Gothic"="%s"\r\n' "$fixed"
  printf '\r\n'
  # Managed windows with decorations, so openbox (or the user's window manager)
  # handles focus and stacking; no X input method, so keys sent through the X
  # server arrive as plain key events.
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
  printf '"Managed"="Y"\r\n'
  printf '"Decorated"="Y"\r\n'
  printf '"UseXIM"="N"\r\n'
  printf '\r\n'
  # Also in the registry, so a bare `wine` in this prefix never offers them.
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\r\n'
  printf '"mscoree"=""\r\n'
  printf '"mshtml"=""\r\n'
  printf '"winemenubuilder.exe"=""\r\n'
  printf '\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg_file"
"${chronoseq_fixed_layout[@]}" wine regedit /S 'C:\chronoseq-setup.reg' </dev/null >/dev/null 2>&1 9>&-
rm -f "$reg_file"
wineserver -w </dev/null >/dev/null 2>&1 9>&-

# Wine links the user's Desktop, Documents and the like to $HOME. Plain
# folders instead, so that nothing the tests or the folder tree list or stamp
# lies outside the prefix. (Wine's own updates of a prefix leave existing
# folders alone.)
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done

echo "$chronoseq_prefix_recipe" >"$chronoseq_prefix_stamp"
echo "Wine prefix ready in $((SECONDS - started)) s" >&2
