#!/usr/bin/env bash
# Checks a built Kestrelwood.exe before it ships: the machine it is for, a
# GUI program, imports only of DLLs that Windows 7 and later carry (no
# api-ms-win-* sets, no compiler runtime), and, when a version is given,
# that version in its version resource and no symbols left in it.
#
#   tools/check-release-exe.sh <exe> <i386|x86-64> [version]
set -euo pipefail
exe=$1 machine=$2 version=${3:-}
case $machine in
  i386) objdump=i686-w64-mingw32-objdump windres=i686-w64-mingw32-windres format=pei-i386 ;;
  x86-64) objdump=x86_64-w64-mingw32-objdump windres=x86_64-w64-mingw32-windres format=pei-x86-64 ;;
  *) echo "unknown machine $machine" >&2; exit 2 ;;
esac
status=0
fail() { echo "$exe: $*" >&2; status=1; }

headers=$($objdump -p "$exe")
$objdump -f "$exe" | grep -q "file format $format\$" || fail "is not a $format program"
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "is not a GUI program"

allowed='^(advapi32|comctl32|comdlg32|gdi32|kernel32|msvcrt|ole32|oleaut32|shell32|shlwapi|user32|winspool\.drv|xmllite)(\.dll)?$'
while read -r dll; do
  name=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  [[ $name =~ $allowed ]] || fail "imports $dll, which is not part of Windows 7"
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

if [ -n "$version" ]; then
  $objdump -h "$exe" | grep -q '\.debug' && fail "still has debug sections"
  [ -n "$($objdump -t "$exe" 2>/dev/null | grep -v '^$' | grep -v 'file format\|SYMBOL TABLE\|no symbols')" ] &&
    fail "still has symbols"
  resources=$($windres -i "$exe" -O rc 2>/dev/null || true)
  numeric=${version/./,}
  numeric=${numeric/,0/,}
  grep -q "FILEVERSION ${numeric/,/, }, 0, 0" <<<"$resources" || fail "has no FILEVERSION $numeric,0,0"
  grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$resources" || fail "has no FileVersion \"$version\""
  grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$resources" || fail "has no ProductVersion \"$version\""
  # The About box and the window title show "V<version>" (UTF-16).
  pattern=$(printf 'V%s' "$version" | sed 's/./&\\x00/g; s/\./\\./')
  LC_ALL=C grep -qaP "$pattern" "$exe" || fail "does not say V$version"
fi
exit $status
