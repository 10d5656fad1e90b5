#!/usr/bin/env bash
# Makes the release from a checkout: the shipped 32-bit Kestrelwood.exe
# (optimised, stripped), a zip with the exe and the guide, and the
# installer. Everything lands in build/release/.
#
#   bash tools/make-release.sh
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

kw_ensure_packages

version=$(sed -n 's/^project(Kestrelwood VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/release
mkdir -p "$out"

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Kestrelwood
exe=build/win32/Kestrelwood.exe
tools/check-release-exe.sh "$exe" i386 "$version"
setup=$out/Kestrelwood-$version-setup.exe

# The guide as HTML pages, the same in the zip and in the installer.
guide=$out/guide
python3 tools/guide_html.py docs/guide "$guide"

zip=$out/Kestrelwood-$version.zip
staging=$out/zip
rm -rf "$staging" "$zip"
mkdir -p "$staging/Kestrelwood"
cp "$exe" "$staging/Kestrelwood/Kestrelwood.exe"
cp -r "$guide" "$staging/Kestrelwood/Guide"
(cd "$staging" && zip -qr9 -X "../$(basename "$zip")" Kestrelwood)
rm -rf "$staging"
echo "Made $zip"

makensis -V2 -INPUTCHARSET UTF8 \
  "-DVERSION=$version" "-DEXE=$KW_ROOT/$exe" "-DGUIDE=$KW_ROOT/$guide" \
  "-DICON=$KW_ROOT/resources/kestrelwood.ico" "-DOUTFILE=$KW_ROOT/$setup" \
  installer/kestrelwood.nsi
echo "Made $setup"
cp "$exe" "$out/Kestrelwood.exe"
echo "Made $out/Kestrelwood.exe"
