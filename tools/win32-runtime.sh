#!/usr/bin/env bash
# The 32-bit Windows runtime: Debian trixie's Wine (wine32:i386) in a chroot,
# its i386 Linux processes run by qemu-i386, because this machine's kernel
# runs no 32-bit code. Made once per machine under /var/cache/kestrelwood,
# outside any checkout, so clones and CI share it.
#
#   tools/win32-runtime.sh prepare
#   tools/win32-runtime.sh run PREFIX COMMAND [ARG...]
#
# "run" enters a private user and mount namespace (the machine's own binfmt
# table and mounts stay untouched; everything disappears with the command),
# registers qemu-i386 for i386 ELF files there, binds /proc, /sys, /dev and
# the checkout into the chroot and runs COMMAND in it with WINEPREFIX=PREFIX
# (a path in the checkout), a virtual display (KW_SCREEN, default 1280x1024)
# and the helpers of common.sh. KW_* variables pass through. A program
# without relocations (the NSIS installer) runs with "$KW_WINE_LOWFREE"
# instead of "wine" (see tools/win32-loader.c).
set -euo pipefail

KW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KW_RUNTIME_DIR=${KW_RUNTIME_DIR:-/var/cache/kestrelwood}
CHROOT=$KW_RUNTIME_DIR/trixie-wine32
SUITE=trixie
# ctest runs the test programs, poppler-utils reads the printed PDFs, the
# i386 libcups lets the 32-bit Wine print to the machine's CUPS printer,
# Liberation stands in for Arial as on the machine itself.
PACKAGES=(wine wine64 wine32:i386 libcups2t64:i386 qemu-user x11-utils fonts-wine fonts-liberation cmake poppler-utils)

# A message and an exit code: 1, or 3 when the mirror or the set-up fails.
die() { echo "win32-runtime: $1" >&2; exit "${2:-1}"; }

# The mirror apt already uses (or KW_MIRROR), so the runtime needs no other
# network.
mirror() {
  local uri
  uri=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}' | grep -v security | head -n1)
  [ -n "$uri" ] || uri=$(grep -hs '^deb ' /etc/apt/sources.list | awk '{print $2}' | grep -v security | head -n1)
  echo "${uri:-http://deb.debian.org/debian}"
}

# Runs a command in the chroot inside a fresh user and mount namespace, in
# the same directory when it lies in the checkout, with the KW_* variables.
# With qemu=1, i386 ELF files run through the chroot's qemu-i386.
in_chroot() {
  local qemu=$1; shift
  local vars=() name
  for name in $(compgen -e | grep '^KW_' || true); do vars+=("$name=${!name}"); done
  local sync status=0
  sync=$(mktemp -u) && mkfifo "$sync"
  unshare --user --mount --propagation private \
    env KW_CHROOT="$CHROOT" KW_QEMU="$qemu" KW_BIND="$KW_ROOT" KW_CWD="$PWD" KW_VARS="${vars[*]}" KW_SYNC="$sync" \
    bash -euo pipefail -c '
      read -r _ < "$KW_SYNC"
      if [ "$KW_QEMU" = 1 ]; then
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
        printf "%s" ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$KW_CHROOT/usr/bin/qemu-i386:F" \
          > /proc/sys/fs/binfmt_misc/register
      fi
      for dir in /proc /sys /dev; do mount --rbind "$dir" "$KW_CHROOT$dir"; done
      mount --bind /dev/pts "$KW_CHROOT/dev/pts"
      mkdir -p "$KW_CHROOT$KW_BIND" "$KW_CHROOT/tmp/.X11-unix"
      mount --bind "$KW_BIND" "$KW_CHROOT$KW_BIND"
      mount --bind /tmp/.X11-unix "$KW_CHROOT/tmp/.X11-unix" 2>/dev/null || true
      # The CUPS printer of the machine and the folder its PDFs land in.
      if [ -d /run/cups ]; then mkdir -p "$KW_CHROOT/run/cups"; mount --bind /run/cups "$KW_CHROOT/run/cups"; fi
      if [ -n "${KW_PDF_DIR:-}" ] && [ -d "$KW_PDF_DIR" ]; then
        mkdir -p "$KW_CHROOT$KW_PDF_DIR"; mount --bind "$KW_PDF_DIR" "$KW_CHROOT$KW_PDF_DIR"
      fi
      case "$KW_CWD/" in "$KW_BIND"/*) ;; *) KW_CWD=/ ;; esac
      exec chroot "$KW_CHROOT" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 $KW_VARS sh -c "cd \"\$0\" && exec \"\$@\"" "$KW_CWD" "$@"' in_chroot "$@" <&0 &
  local pid=$! own
  # The identity map, written from outside: every uid and gid stays itself.
  own=$(readlink /proc/self/ns/user)
  while [ "$(readlink "/proc/$pid/ns/user" 2>/dev/null || echo "$own")" = "$own" ]; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.02
  done
  echo "0 0 4294967295" > "/proc/$pid/uid_map"
  echo "0 0 4294967295" > "/proc/$pid/gid_map"
  echo > "$sync"
  rm -f "$sync"
  wait "$pid" || status=$?
  return $status
}

# Prepared when the marker lists exactly the packages above.
ready() {
  [ "$(cat "$CHROOT/.kestrelwood-ready" 2>/dev/null)" = "${PACKAGES[*]}" ] && [ -x "$CHROOT$LOWFREE_LOADER" ] && [ -x "$CHROOT/usr/local/bin/wine-stable" ] &&
    [ -f "$CHROOT$TEMPLATE_PREFIX/system.reg" ]
}

# A fresh Wine prefix, copied into each new one: making one takes minutes
# under emulation.
TEMPLATE_PREFIX=/var/lib/kestrelwood/wineprefix
make_template_prefix() {
  rm -rf "$CHROOT$TEMPLATE_PREFIX" && mkdir -p "$CHROOT$TEMPLATE_PREFIX"
  in_chroot 1 env WINEPREFIX="$TEMPLATE_PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    sh -c 'wineboot -i && wineserver -w' > "$KW_RUNTIME_DIR/prefix.log" 2>&1 ||
    die "making a Wine prefix in the runtime failed; see $KW_RUNTIME_DIR/prefix.log"
}

# The loader for programs that must load at 0x400000 (tools/win32-loader.c).
LOWFREE_LOADER=/usr/lib/wine/wine-lowfree
build_loader() {
  local lib=$CHROOT/usr/lib/i386-linux-gnu object
  object=$(mktemp --suffix=.o)
  clang --target=i386-linux-gnu -O2 -fno-pic -fno-stack-protector -c "$KW_ROOT/tools/win32-loader.c" -o "$object" &&
    ld -m elf_i386 -z noexecstack -Ttext-segment=0x7d000000 --dynamic-linker=/lib/ld-linux.so.2 -export-dynamic \
      -o "$CHROOT$LOWFREE_LOADER" "$object" "$lib/libc.so.6" -rpath-link "$lib" ||
    die "building the Wine loader tools/win32-loader.c failed (clang, ld)"
  rm -f "$object"
  # "wine" starts through the 64-bit loader: Debian's script would start
  # every program, 64-bit tools such as reg and winepath too, through the
  # emulated 32-bit one first. 32-bit programs are handed on to it.
  local name
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$CHROOT/usr/local/bin/$name"
    chmod +x "$CHROOT/usr/local/bin/$name"
  done
}

prepare() {
  ready && return 0
  [ "$(id -u)" -eq 0 ] || die "preparing the 32-bit runtime needs root (debootstrap, chroot)"
  local url
  url=${KW_MIRROR:-$(mirror)}
  echo "Preparing the 32-bit Windows runtime in $CHROOT from $url (once per machine, a few minutes)"
  if [ ! -x "$CHROOT/usr/bin/apt-get" ] || [ "$(cat "$CHROOT/.kestrelwood-ready" 2>/dev/null)" != "${PACKAGES[*]}" ]; then
    python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1], timeout=20).read(1)' \
      "$url/dists/$SUITE/Release" 2>/dev/null ||
      die "cannot reach the Debian mirror $url (needed once to prepare the 32-bit runtime)" 3
  fi
  mkdir -p "$KW_RUNTIME_DIR"
  if [ ! -x "$CHROOT/usr/bin/apt-get" ]; then
    local debootstrap=debootstrap tmp=$CHROOT.partial
    if ! command -v debootstrap >/dev/null; then
      # Unpacked rather than installed: the machine's packages stay as they are.
      local dir=$KW_RUNTIME_DIR/debootstrap
      if [ ! -x "$dir/usr/sbin/debootstrap" ]; then
        rm -rf "$dir" && mkdir -p "$dir"
        (cd "$dir" && apt-get download -q debootstrap >/dev/null 2>&1 && dpkg-deb -x debootstrap_*.deb .) ||
          die "cannot fetch debootstrap from the Debian mirror" 3
      fi
      export DEBOOTSTRAP_DIR=$dir/usr/share/debootstrap
      debootstrap=$dir/usr/sbin/debootstrap
    fi
    rm -rf "$tmp"
    "$debootstrap" --variant=minbase "$SUITE" "$tmp" "$url" > "$KW_RUNTIME_DIR/debootstrap.log" 2>&1 ||
      die "debootstrap failed; see $KW_RUNTIME_DIR/debootstrap.log" 3
    rm -rf "$CHROOT" && mv "$tmp" "$CHROOT"
  fi
  if [ "$(cat "$CHROOT/.kestrelwood-ready" 2>/dev/null)" != "${PACKAGES[*]}" ]; then
    # The emulator first: the i386 packages' scripts run i386 programs.
    { in_chroot 0 sh -c "
        dpkg --add-architecture i386 &&
        apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq qemu-user >/dev/null" &&
      in_chroot 1 sh -c "
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${PACKAGES[*]} >/dev/null &&
        apt-get clean"
    } > "$KW_RUNTIME_DIR/packages.log" 2>&1 ||
      die "installing Wine in the runtime failed; see $KW_RUNTIME_DIR/packages.log" 3
    echo "${PACKAGES[*]}" > "$CHROOT/.kestrelwood-ready"
  fi
  build_loader
  [ -f "$CHROOT$TEMPLATE_PREFIX/system.reg" ] || make_template_prefix
  echo "The 32-bit Windows runtime is ready"
}

run() {
  [ $# -ge 2 ] || die "usage: $0 run PREFIX COMMAND [ARG...]"
  ready || die "the 32-bit runtime is not prepared; run: bash tools/win32-runtime.sh prepare"
  local prefix
  prefix=$(realpath -m "$1"); shift
  case "$prefix/" in "$KW_ROOT"/*) ;; *) die "the prefix must lie in the checkout ($KW_ROOT)";; esac
  if [ ! -f "$prefix/system.reg" ]; then
    rm -rf "$prefix" && mkdir -p "$(dirname "$prefix")"
    cp -a "$CHROOT$TEMPLATE_PREFIX" "$prefix"
  fi
  # The display is the machine's own (its socket is bound into the chroot),
  # so pictures can be taken from outside while the command runs.
  source "$KW_ROOT/tools/common.sh"
  trap kw_stop_xvfb EXIT
  kw_start_xvfb "${KW_SCREEN:-}"
  KW_DISPLAY=$DISPLAY in_chroot 1 bash -c '
    set -euo pipefail
    source "$0/tools/common.sh"
    export -f $(compgen -A function kw_)
    export DISPLAY=$KW_DISPLAY KW_WINE_LOWFREE='"$LOWFREE_LOADER"'
    kw_prepare_wine "$1"; shift
    trap "wineserver -k >/dev/null 2>&1 || true" EXIT
    "$@"' "$KW_ROOT" "$prefix" "$@"
}

case "${1:-}" in
  prepare) prepare ;;
  run) shift; run "$@" ;;
  *) die "usage: $0 prepare | run PREFIX COMMAND [ARG...]" ;;
esac
