#!/usr/bin/env bash
# Installs and uninstalls the release's installer silently in the 32-bit
# runtime (tools/win32-runtime.sh), for the current user and for all users,
# and checks that the files, the Start menu entries and the uninstall entry
# come and go, that the installed program starts (its main window appears)
# and that the settings key stays unless /RemoveSettings is given.
#
#   bash tools/test-installer.sh    (in a Wine prefix of its own)
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

version=$(sed -n 's/^project(Kestrelwood VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ "${1:-}" != --inside ]; then
  bash tools/win32-runtime.sh prepare
  bash tools/make-release.sh >/dev/null
  rm -rf build/installer-wineprefix
  exec tools/win32-runtime.sh run build/installer-wineprefix bash tools/test-installer.sh --inside
fi
setup=$(winepath -w "build/release/Kestrelwood-$version-setup.exe")
# The installer and the uninstaller have no relocations and must load at
# 0x400000: they run with the runtime's loader that keeps it free. Wine's
# menu builder, started for each shortcut, is not needed here.
lowfree=$KW_WINE_LOWFREE
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

failures=0
fail() { echo "installer test: $*" >&2; failures=$((failures + 1)); }

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelwood'
settings_key='HKCU\Software\Brannoc\Kestrelwood'

# The 32-bit view of the registry, the installer's.
key_exists() { wine reg query "$1" /reg:32 >/dev/null 2>&1; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# Where a mode puts its files and its Start menu entries.
folders_of() {
  case $1 in
    CurrentUser)
      install=$(unix_path "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\Programs\\Kestrelwood")
      menu=$(unix_path "$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
      root=HKCU ;;
    AllUsers)
      # A 32-bit program on 64-bit Windows.
      install=$(unix_path "$(wine cmd /c echo '%ProgramFiles(x86)%' | tr -d '\r')\\Kestrelwood")
      menu=$(unix_path "$(wine cmd /c echo %ProgramData% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
      root=HKLM ;;
  esac
}

# Starts the program and waits for its main window, then closes it.
starts() {
  local shown=1
  wine "$1" >/dev/null 2>&1 &
  for _ in $(seq 150); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Kestrelwood'; then shown=0; break; fi
    sleep 0.2
  done
  wineserver -k >/dev/null 2>&1 || true
  wait || true
  return $shown
}

check_mode() {
  local mode=$1 remove=$2
  folders_of "$mode"
  wine reg add "$settings_key" /v Language /t REG_DWORD /d 2 /f >/dev/null 2>&1

  # Under the emulator a finished Wine process is now and then ended by
  # SIGKILL (status 137) instead of its own exit; what the installer did is
  # checked below either way.
  local status=0
  "$lowfree" "$setup" /S "/$mode" >/dev/null 2>&1 || status=$?
  [ $status -eq 0 ] || [ $status -eq 137 ] || fail "$mode: the installer failed (status $status)"
  wineserver -w
  for file in Kestrelwood.exe Uninstall.exe Guide/index.html Guide/en/index.html Guide/de/index.html Guide/fr/index.html; do
    [ -f "$install/$file" ] || fail "$mode: $file was not installed in $install"
  done
  [ -f "$menu/Kestrelwood.lnk" ] || fail "$mode: no Start menu entry in $menu"
  ls "$menu" | grep -qi 'guide\|anleitung' || fail "$mode: no Start menu entry for the guide"
  key_exists "$root\\$uninstall_key" || fail "$mode: no uninstall entry in $root"
  starts "$install/Kestrelwood.exe" || fail "$mode: the installed Kestrelwood.exe shows no main window"
  wine reg query "$root\\$uninstall_key" /v DisplayVersion /reg:32 2>/dev/null | grep -q "$version" ||
    fail "$mode: the uninstall entry does not say $version"

  # In place (_?=): the copy of itself that the uninstaller would start from
  # the temporary folder would go through Wine's usual loader. So it cannot
  # remove itself and its folder; everything else must go.
  local options=(/S "/$mode")
  [ "$remove" = yes ] && options+=(/RemoveSettings)
  "$lowfree" "$(winepath -w "$install/Uninstall.exe")" "${options[@]}" "_?=$(winepath -w "$install")" >/dev/null 2>&1 ||
    fail "$mode: the uninstaller failed"
  wineserver -w
  if [ -d "$install" ]; then
    local left
    left=$(cd "$install" && find . -mindepth 1 ! -name Uninstall.exe | tr '\n' ' ')
    [ -z "$left" ] || fail "$mode: the uninstaller left in $install: $left"
    rm -rf "$install"
  fi
  [ -e "$menu/Kestrelwood.lnk" ] && fail "$mode: the Start menu entry is still there"
  ls "$menu" | grep -qi 'kestrelwood' && fail "$mode: a Start menu entry is still there"
  key_exists "$root\\$uninstall_key" && fail "$mode: the uninstall entry is still there"
  if [ "$remove" = yes ]; then
    key_exists "$settings_key" && fail "$mode: /RemoveSettings left the settings key"
  else
    key_exists "$settings_key" || fail "$mode: the settings key was removed without being asked"
  fi
  return 0
}

check_mode CurrentUser no
check_mode AllUsers yes

if [ $failures -ne 0 ]; then
  echo "installer test: $failures failure(s)" >&2
  exit 1
fi
echo "installer test: silent install, start and uninstall passed (current user, all users)"
