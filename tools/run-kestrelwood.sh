#!/usr/bin/env bash
# Builds Kestrelwood and starts it under Wine, in a prefix of its own whose
# C:\Mach3 holds the sample Mach3 folder.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

kw_ensure_packages

# This machine runs 64-bit Windows programs only; the 32-bit build is the
# one shipped, and both come from the same sources.
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Kestrelwood

kw_prepare_wine "$KW_ROOT/.wine"
kw_install_wine_fonts
if [ ! -d "$WINEPREFIX/drive_c/Mach3" ]; then
  echo "Installing the sample Mach3 folder as C:\\Mach3"
  cp -r samples/Mach3 "$WINEPREFIX/drive_c/Mach3"
fi

if [ -z "${DISPLAY:-}" ]; then
  trap kw_stop_xvfb EXIT
  kw_start_xvfb
  echo "No display: Kestrelwood runs on the virtual display $DISPLAY"
  echo "(take a picture with: DISPLAY=$DISPLAY import -window root shot.png)"
  # Without a window manager, Wine's own desktop draws the window frames.
  wine explorer /desktop=Kestrelwood,1024x768 build/win64/Kestrelwood.exe
  exit
fi
wine build/win64/Kestrelwood.exe
