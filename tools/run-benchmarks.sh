#!/usr/bin/env bash
# Builds the 64-bit programs and runs the benchmark suite under Wine on a
# virtual display of its own; the table goes to the screen and to
# build/benchmark.txt. Arguments go to the suite: --repeats N (default 11),
# --quick (no 50,000-entry profiles).
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KW_ROOT"

kw_ensure_packages

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target kestrelwood_bench

kw_prepare_wine "$KW_ROOT/build/win64/wineprefix"
kw_unmanaged_windows
trap 'wineserver -k >/dev/null 2>&1 || true; kw_stop_xvfb' EXIT
kw_start_xvfb

{
  echo "Machine: $(nproc) cores, $(uptime | sed 's/.*load average/load average/') (before)"
  wine build/win64/bench/kestrelwood_bench.exe "$@"
  echo "Machine: $(uptime | sed 's/.*load average/load average/') (after)"
} 2>&1 | tee build/benchmark.txt
