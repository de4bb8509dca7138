#!/usr/bin/env bash
# Builds fuzz_table_open with clang, libFuzzer, ASan and UBSan in build-fuzz
# and runs it for SECONDS (default 60) on a working copy of fuzz/corpus.
#   scripts/fuzz.sh 300
# Findings are written to build-fuzz/fuzz-artifacts/; the exit status is
# non-zero when the fuzzer found something.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELV_FUZZ_BUILD:-$root/build-fuzz}
jobs=$(nproc 2>/dev/null || echo 2)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELV_BUILD_FUZZ=ON -DKELV_BUILD_TESTS=OFF -DKELV_BUILD_GUI=OFF -DKELV_BUILD_BENCH=OFF
cmake --build "$build" --target fuzz_table_open -j "$jobs"

# New inputs go to a working corpus, so the committed seeds stay as they are.
work="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
mkdir -p "$work" "$artifacts"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/bin/fuzz_table_open" \
  -max_total_time="$seconds" \
  -max_len=4096 \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -dict="$root/fuzz/table.dict" \
  -artifact_prefix="$artifacts/" \
  "$work" "$root/fuzz/corpus"
