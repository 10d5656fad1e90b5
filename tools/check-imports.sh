#!/usr/bin/env bash
# Fails when the shipped program imports a DLL that is not part of Windows
# itself: it must run from a bare copy with nothing installed.
set -euo pipefail
exe=$1
allowed='^(advapi32|comctl32|comdlg32|gdi32|kernel32|msvcrt|ole32|oleaut32|shell32|shlwapi|user32|winspool\.drv|xmllite)(\.dll)?$'
status=0
while read -r dll; do
  name=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
  if ! [[ $name =~ $allowed ]]; then
    echo "$exe imports $dll, which Windows does not provide" >&2
    status=1
  fi
done < <(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
exit $status
