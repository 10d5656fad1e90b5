#!/usr/bin/env bash
# Takes the user guide's pictures: starts the shipped 32-bit Kestrelwood in
# the 32-bit runtime (tools/win32-runtime.sh), under Wine's virtual desktop
# with the sample Mach3 folder, opens every window in each language
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
    --inside) break ;;
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

shots=$KW_ROOT/build/guide-shots
prefix=$KW_ROOT/build/guide-wineprefix-$dpi

# Inside the 32-bit runtime: one run of the picture driver per language,
# each into build/guide-shots/<language>.
if [ "${1:-}" = --inside ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  kw_install_wine_fonts
  program=$(winepath -w build/win32/Kestrelwood.exe)
  for language in $languages; do
    case $language in de) index=0 ;; en) index=1 ;; fr) index=2 ;; esac
    mkdir -p "$shots/$language"
    # Each language starts from the sample Mach3 folder (the save row changes
    # a file in it) and saves into an empty backup folder first.
    rm -rf "$WINEPREFIX/drive_c/Mach3"
    cp -r samples/Mach3 "$WINEPREFIX/drive_c/Mach3"
    rm -rf "$WINEPREFIX/drive_c/Mach3 Backup" && mkdir -p "$WINEPREFIX/drive_c/Mach3 Backup"
    wine explorer "/desktop=KestrelwoodGuide,$desktop" build/win64/tools/guide_shots.exe \
      "$program" "$(winepath -w "$shots/$language")" "$index" 'C:\Mach3' $row >/dev/null 2>&1 || true
    wineserver -w
  done
  exit 0
fi

for language in $languages; do
  case $language in de|en|fr) ;; *) echo "unknown language $language" >&2; exit 2 ;; esac
done

kw_ensure_packages
bash tools/win32-runtime.sh prepare
# The shipped 32-bit program, driven by the 64-bit picture driver (which
# Wine runs natively, so only the program itself is emulated).
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Kestrelwood
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target guide_shots

rm -rf "$shots"
args=(--dpi "$dpi" --languages "$languages")
[ -n "$row" ] && args+=(--row "$row")
KW_SCREEN=$desktop KW_SLOW=4 tools/win32-runtime.sh run "$prefix" bash tools/make-guide-pictures.sh "${args[@]}" --inside

status=0
for language in $languages; do
  mkdir -p "$out/$language"
  log=$shots/$language/shots.log
  if [ ! -f "$log" ]; then
    echo "$language: the picture driver did not run" >&2
    status=1
    continue
  fi
  sed "s/^/$language: /" "$log" | tr -d '\r'
  grep -q '^missing\|does not close' "$log" && status=1
  for bitmap in "$shots/$language"/*.bmp; do
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
