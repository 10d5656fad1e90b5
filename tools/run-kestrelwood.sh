#!/usr/bin/env bash
# Builds Kestrelwood and starts it under Wine, in a prefix of its own whose
# C:\Mach3 holds the sample Mach3 folder.
#
#   bash tools/run-kestrelwood.sh         # the 64-bit build
#   bash tools/run-kestrelwood.sh --32    # the shipped 32-bit build
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

# --32 starts the shipped 32-bit build in the 32-bit runtime
# (tools/win32-runtime.sh, prepared on first use), on a virtual display.
if [ "${1:-}" = --32 ]; then
  if [ "${2:-}" = --inside ]; then
    kw_install_wine_fonts
    [ -d "$WINEPREFIX/drive_c/Mach3" ] || cp -r samples/Mach3 "$WINEPREFIX/drive_c/Mach3"
    echo "Kestrelwood (32-bit) runs on the virtual display $DISPLAY in the 32-bit runtime"
    echo "(take a picture with: DISPLAY=$DISPLAY import -window root shot.png)"
    exec wine explorer /desktop=Kestrelwood,1024x768 build/win32/Kestrelwood.exe
  fi
  kw_ensure_packages
  bash tools/win32-runtime.sh prepare
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target Kestrelwood
  exec tools/win32-runtime.sh run "$KW_ROOT/.wine32" bash tools/run-kestrelwood.sh --32 --inside
fi

kw_ensure_packages

# The machine's own Wine runs 64-bit Windows programs only; both builds
# come from the same sources.
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
