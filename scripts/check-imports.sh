#!/usr/bin/env bash
# check-imports.sh PROGRAM.exe: lists the DLLs the program imports and fails
# when one of them is not part of Windows itself (a compiler runtime such as
# libstdc++-6.dll or libgcc_s_seh-1.dll, a pthread DLL, anything a user would
# have to find and install). Reads the import table with mingw-w64's objdump.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: check-imports.sh PROGRAM.exe" >&2
  exit 2
fi

# DLLs that every Windows 10 and 11 has in System32, named as programs import
# them (lower case). The C runtime is msvcrt.dll, or the Universal CRT
# (ucrtbase.dll and its api-ms-win-crt-* forwarders) for a UCRT tool chain.
windows_dlls=(
  advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll dwmapi.dll gdi32.dll
  imm32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll rpcrt4.dll
  shcore.dll shell32.dll shlwapi.dll ucrtbase.dll user32.dll uxtheme.dll version.dll
  winmm.dll ws2_32.dll
)

dump=$(x86_64-w64-mingw32-objdump -p "$1") || {
  echo "check-imports.sh: objdump cannot read $1" >&2
  exit 2
}
mapfile -t imported < <(sed -n 's/^[[:space:]]*DLL Name: *//p' <<<"$dump" | tr -d '\r')
if ((${#imported[@]} == 0)); then
  echo "check-imports.sh: no import table found in $1" >&2
  exit 2
fi

foreign=()
for dll in "${imported[@]}"; do
  dll=${dll,,}
  echo "$dll"
  case $dll in api-ms-win-crt-*.dll) continue ;; esac
  known=0
  for w in "${windows_dlls[@]}"; do
    [ "$dll" = "$w" ] && known=1 && break
  done
  ((known)) || foreign+=("$dll")
done

if ((${#foreign[@]})); then
  echo "check-imports.sh: $1 needs DLLs that Windows does not have: ${foreign[*]}" >&2
  exit 1
fi
