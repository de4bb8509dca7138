#!/usr/bin/env bash
# Times the map rendering of the bundled sample universe on this machine in
# this run:
#   - `kelvmap-cli render` of the sample to JPEG, whole process (target <= 0.5 s);
#   - our JPEG writer (SaveJpeg, in bin/kelv_render_bench) against
#     `cjpeg -dct float -quality 90` on the same picture saved as BMP, in the
#     same benchmark run (target: ours at most 1.1 x cjpeg);
#   - PaintMap of the sample in each mode (bin/kelv_render_bench).
# The process timings are the best of RUNS runs (default 5).
#
# Usage: scripts/bench-render.sh [BUILD_DIR]   (default: build-bench)
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-bench}"
cli="$build/bin/kelvmap-cli"
runs="${RUNS:-5}"
[ -x "$cli" ] || { echo "no $cli (build kelvmap-cli first)" >&2; exit 2; }
command -v cjpeg >/dev/null || { echo "cjpeg not installed (libjpeg-turbo-progs)" >&2; exit 2; }
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

work="$(mktemp -d "${TMPDIR:-/tmp}/kelv-bench-render.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp "$here"/data/sample/*.txt "$work/"
"$cli" import "$work" > /dev/null

now() { date +%s.%N; }
best() { printf '%s\n' "$@" | sort -g | head -n1; }
timed() {  # runs "$@" once, prints seconds
    local t0 t1
    t0=$(now)
    "$@" > /dev/null 2>&1
    t1=$(now)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", b - a }'
}

"$cli" render "$work" "$work/map.bmp" > /dev/null 2>&1
jpeg=(); bmp=(); cj=()
for ((r = 0; r < runs; r++)); do
    jpeg+=("$(timed "$cli" render "$work" "$work/map.jpg")")
    bmp+=("$(timed "$cli" render "$work" "$work/map2.bmp")")
    cj+=("$(timed cjpeg -dct float -quality 90 -outfile "$work/cjpeg.jpg" "$work/map.bmp")")
done
j=$(best "${jpeg[@]}"); b=$(best "${bmp[@]}"); c=$(best "${cj[@]}")
echo "kelvmap-cli render sample -> JPEG: ${j} s (target <= 0.5 s)"
echo "kelvmap-cli render sample -> BMP:  ${b} s"
echo "cjpeg -dct float -quality 90 of the BMP: ${c} s (process, BMP read included)"
echo "output sizes: ours $(stat -c %s "$work/map.jpg") bytes, cjpeg $(stat -c %s "$work/cjpeg.jpg") bytes"
if [ -x "$build/bin/kelv_render_bench" ]; then
    "$build/bin/kelv_render_bench" --benchmark_format=console 2>/dev/null | tee "$work/bench.txt"
    awk '$1 == "BM_SaveJpeg" { ours = $2 } $1 == "BM_Cjpeg" { theirs = $2 }
         END { if (theirs > 0) printf "SaveJpeg / cjpeg (wall, same run): %.2f (target <= 1.10)\n", ours / theirs }' \
        "$work/bench.txt"
fi
