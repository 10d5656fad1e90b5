#!/usr/bin/env bash
# Runs every fuzzer of the native build for a bounded time each (seconds,
# default 30), from its generated seeds and the corpus earlier runs kept.
# Stops at the first finding; libFuzzer leaves the input as crash-* in
# build/native/findings. Further arguments choose fuzzers by name.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=build/native
fuzzers=(print_file fixture_table tool_table search_pattern pin_model format_decimal profile_text profile_patch copy_rules)
[ $# -ge 2 ] && fuzzers=("${@:2}")

rm -rf "$build/seeds"
"$build/fuzz/make_seeds" "$build/seeds"
mkdir -p "$build/findings"
for fuzzer in "${fuzzers[@]}"; do
  corpus=$build/corpus/$fuzzer
  mkdir -p "$corpus"
  # Inputs that once failed, kept in the repository, run first.
  if [ -n "$(ls -A "fuzz/regressions/$fuzzer" 2>/dev/null)" ]; then
    "$build/fuzz/${fuzzer}_fuzzer" "fuzz/regressions/$fuzzer"/* >/dev/null 2>&1 ||
      { echo "$fuzzer fails again on a kept regression input" >&2; exit 1; }
  fi
  echo "== $fuzzer: $seconds s"
  log=$build/findings/$fuzzer.log
  status=0
  nice -n 19 "$build/fuzz/${fuzzer}_fuzzer" "$corpus" "$build/seeds/$fuzzer" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$fuzzer-" >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+ +DONE|^stat::number_of_executed_units|ERROR|SUMMARY|check failed' "$log" || true
  [ "$status" -eq 0 ] || { echo "$fuzzer found a failing input; see $log" >&2; exit 1; }
done
