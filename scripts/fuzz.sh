#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, ASan and UBSan in build-fuzz
# and runs each for SECONDS (default 60) on a working copy of its seeds:
#   scripts/fuzz.sh 300                  # fuzz_table_open, then fuzz_import
#   scripts/fuzz.sh 300 fuzz_import      # one target
#   fuzz_table_open: bytes as a table file, opened, read, changed, cleared
#   fuzz_import:     bytes as a text export, imported into each of the five tables
# Findings are written to build-fuzz/fuzz-artifacts/; the exit status is
# non-zero when a fuzzer found something.
set -euo pipefail
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_table_open fuzz_import)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELV_FUZZ_BUILD:-$root/build-fuzz}
jobs=$(nproc 2>/dev/null || echo 2)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELV_BUILD_FUZZ=ON -DKELV_BUILD_TESTS=OFF -DKELV_BUILD_GUI=OFF -DKELV_BUILD_BENCH=OFF
cmake --build "$build" --target "${targets[@]}" -j "$jobs"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
for target in "${targets[@]}"; do
  case $target in
    fuzz_table_open) seeds=$root/fuzz/corpus dict=(-dict="$root/fuzz/table.dict") ;;
    fuzz_import) seeds=$root/fuzz/corpus-import dict=() ;;
    *) echo "fuzz.sh: unknown target $target" >&2; exit 2 ;;
  esac
  # New inputs go to a working corpus, so the committed seeds stay as they are.
  work="$build/$target-corpus"
  mkdir -p "$work"
  echo "fuzz.sh: $target for $seconds s"
  "$build/bin/$target" \
    -max_total_time="$seconds" \
    -max_len=4096 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    "${dict[@]}" \
    -artifact_prefix="$artifacts/$target-" \
    "$work" "$seeds"
done
