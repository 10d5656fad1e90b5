#!/usr/bin/env bash
# Builds the benchmark suite for both builds and runs it: the 64-bit one
# under the machine's Wine, then the 32-bit one (the shipped build's code)
# in the 32-bit runtime (tools/win32-runtime.sh), each on a virtual display
# of its own. The tables go to the screen and to build/benchmark.txt and
# build/benchmark-32.txt. Arguments go to the suite: --repeats N (default
# 11), --quick (no 50,000-entry profiles), --only PART. --64 or --32 first
# runs one build only.
#
# The 32-bit code runs emulated, several times slower: its ratios against
# the floors (run 32-bit alike) count, its milliseconds mean little.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

builds="64 32"
case "${1:-}" in
  --64) builds=64; shift ;;
  --32) builds=32; shift ;;
esac

kw_ensure_packages

if [[ $builds == *64* ]]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target kestrelwood_bench
  (
    kw_prepare_wine "$KW_ROOT/build/win64/wineprefix"
    kw_unmanaged_windows
    trap 'wineserver -k >/dev/null 2>&1 || true; kw_stop_xvfb' EXIT
    kw_start_xvfb
    {
      echo "64-bit build. Machine: $(nproc) cores, $(uptime | sed 's/.*load average/load average/') (before)"
      wine build/win64/bench/kestrelwood_bench.exe "$@"
      echo "Machine: $(uptime | sed 's/.*load average/load average/') (after)"
    } 2>&1 | tee build/benchmark.txt
  )
fi

if [[ $builds == *32* ]]; then
  bash tools/win32-runtime.sh prepare
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target kestrelwood_bench
  {
    echo "32-bit build, emulated (times mean little, ratios count). Machine: $(nproc) cores, $(uptime | sed 's/.*load average/load average/') (before)"
    tools/win32-runtime.sh run build/win32/wineprefix \
      bash -c 'kw_unmanaged_windows && wine build/win32/bench/kestrelwood_bench.exe "$@"' bench "$@"
    echo "Machine: $(uptime | sed 's/.*load average/load average/') (after)"
  } 2>&1 | tee build/benchmark-32.txt
fi
