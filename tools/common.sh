# Shared by the run and test commands: what Kestrelwood needs on a Debian
# machine, a private Wine prefix and a virtual display.

KW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

KW_PACKAGES=(
  cmake ninja-build python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest wine wine64 xvfb x11-utils imagemagick
  cups printer-driver-cups-pdf poppler-utils
  nsis zip
  clang libclang-rt-14-dev
)

# Installs what is missing (as root), or says exactly what to run.
kw_ensure_packages() {
  local missing=()
  for package in "${KW_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Kestrelwood needs these packages; please run:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# A Wine prefix of our own, made once and complete before anything runs in it.
kw_prepare_wine() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
  fi
  wineserver -w
}

# Wine's own Tahoma (what "MS Shell Dlg" becomes) and Marlett (the caption
# buttons) for windows people look at: Debian's Wine does not always find
# them by itself.
kw_install_wine_fonts() {
  local font
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] && cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  return 0
}

# Tests run on a display without a window manager, where Wine waits two
# seconds for a manager to confirm each hidden window; unmanaged windows
# need no confirmation.
kw_unmanaged_windows() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
}

KW_XVFB_PID=

# Starts a virtual display on a free number and exports DISPLAY; the
# screen size (default 1280x1024) may be given.
kw_start_xvfb() {
  local display size=${1:-1280x1024}
  for display in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
    Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    KW_XVFB_PID=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && { export DISPLAY=":$display"; return 0; }
      kill -0 "$KW_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "Could not start a virtual display (Xvfb)" >&2
  return 1
}

kw_stop_xvfb() {
  if [ -n "$KW_XVFB_PID" ]; then
    kill "$KW_XVFB_PID" 2>/dev/null || true
    wait "$KW_XVFB_PID" 2>/dev/null || true
    KW_XVFB_PID=
  fi
}
