#!/usr/bin/env bash
# Takes the user guide's pictures: starts Kestrelwood under Wine's virtual
# desktop with the sample Mach3 folder, opens every window in each language
# and saves it as docs/guide/images/<language>/<window>.png. Re-run it after
# a dialog changes or a new one lands; windows the program does not have yet
# are listed as missing.
#
#   bash tools/make-guide-pictures.sh [--dpi 96|144] [--out DIR] [--languages "de en fr"] [--row NAME]
#
# --dpi 144 is for checking the layouts at a larger text size; those pictures
# go to build/guide-144 unless --out says otherwise.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

dpi=96
out=
languages="de en fr"
row=
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) dpi=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --languages) languages=$2; shift 2 ;;
    --row) row=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
if [ -z "$out" ]; then
  if [ "$dpi" = 96 ]; then out=docs/guide/images; else out=build/guide-$dpi; fi
fi
case $dpi in
  96) desktop=1280x1024 ;;
  144) desktop=1920x1440 ;;
  *) desktop=2560x1920 ;;
esac

kw_ensure_packages
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Kestrelwood guide_shots

# A prefix of its own per text size, with a fresh copy of the samples.
kw_prepare_wine "$KW_ROOT/build/guide-wineprefix-$dpi"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
kw_install_wine_fonts
rm -rf "$WINEPREFIX/drive_c/Mach3"
cp -r samples/Mach3 "$WINEPREFIX/drive_c/Mach3"

trap 'wineserver -k >/dev/null 2>&1 || true; kw_stop_xvfb' EXIT
if [ -z "${KW_GUIDE_DISPLAY:-}" ]; then
  kw_start_xvfb "$desktop"
else
  export DISPLAY=$KW_GUIDE_DISPLAY
fi

shots=build/guide-shots
program=$(winepath -w build/win64/Kestrelwood.exe)
status=0
for language in $languages; do
  case $language in
    de) index=0 ;;
    en) index=1 ;;
    fr) index=2 ;;
    *) echo "unknown language $language" >&2; exit 2 ;;
  esac
  rm -rf "$shots" && mkdir -p "$shots" "$out/$language"
  # Each language saves into an empty backup folder first.
  rm -rf "$WINEPREFIX/drive_c/Mach3 Backup" && mkdir -p "$WINEPREFIX/drive_c/Mach3 Backup"
  wine explorer "/desktop=KestrelwoodGuide,$desktop" build/win64/tools/guide_shots.exe \
    "$program" "$(winepath -w "$shots")" "$index" 'C:\Mach3' $row >/dev/null 2>&1 || true
  wineserver -w
  if [ ! -f "$shots/shots.log" ]; then
    echo "$language: the picture driver did not run" >&2
    status=1
    continue
  fi
  sed "s/^/$language: /" "$shots/shots.log" | tr -d '\r'
  grep -q '^missing\|does not close' "$shots/shots.log" && status=1
  for bitmap in "$shots"/*.bmp; do
    [ -e "$bitmap" ] || continue
    picture=$out/$language/$(basename "${bitmap%.bmp}").png
    convert "$bitmap" -strip "$picture"
    # A window off the screen or not yet drawn comes out black.
    if [ "$(convert "$picture" -colorspace gray -format '%[fx:mean < 0.05]' info:)" = 1 ]; then
      echo "$language: $(basename "$picture") is blank" >&2
      status=1
    fi
  done
done
echo "Pictures in $out"
exit $status
