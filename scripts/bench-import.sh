#!/usr/bin/env bash
# Times `kelvmap-cli import` of a 1,000,000-line "sector fabs.txt" against
# sqlite3 importing the same file into a three-column table, on this machine
# in this run: once into a fresh table, once over the full table. Each figure
# is the best of RUNS runs (default 3). Target: each import at most half of
# sqlite3's time.
#
# Usage: scripts/bench-import.sh [BUILD_DIR]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
cli="$build/bin/kelvmap-cli"
runs="${RUNS:-3}"
lines="${LINES:-1000000}"
[ -x "$cli" ] || { echo "no $cli (build kelvmap-cli first)" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "sqlite3 not installed" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/kelv-bench-import.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export="$work/sector fabs.txt"
awk -v n="$lines" 'BEGIN { srand(1); for (i = 1; i <= n; i++)
    printf "%d\t%d\t%d\r\n", i, 1 + int(rand() * 300), 1 + int(rand() * 2000) }' > "$export"
for f in sectors.txt resources.txt fabs.txt "fabs resources.txt"; do : > "$work/$f"; done

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", b - a }'; }
best() { printf '%s\n' "$@" | sort -g | head -n1; }

kelv_import() {
    local t0 t1
    t0=$(now)
    "$cli" import "$work" > "$work/out.txt"
    t1=$(now)
    grep -qx "SectorsFabs: $lines" "$work/out.txt" || { echo "kelvmap-cli import gave:" >&2; cat "$work/out.txt" >&2; exit 1; }
    elapsed "$t0" "$t1"
}

sqlite_import() {  # $1: sql run before the import
    local t0 t1
    t0=$(now)
    sqlite3 "$work/t.db" "$1" ".mode tabs" ".import '$export' sf"
    t1=$(now)
    [ "$(sqlite3 "$work/t.db" 'SELECT count(*) FROM sf')" = "$lines" ] || { echo "sqlite3 count wrong" >&2; exit 1; }
    elapsed "$t0" "$t1"
}

kf=(); ko=(); sf=(); so=()
for ((r = 0; r < runs; r++)); do
    rm -f "$work"/*.dat "$work/t.db"
    kf+=("$(kelv_import)")
    ko+=("$(kelv_import)")
    sf+=("$(sqlite_import 'CREATE TABLE sf(a INTEGER, sector INTEGER, fab INTEGER);')")
    so+=("$(sqlite_import 'DELETE FROM sf;')")
done

report() {  # name kelv sqlite
    local ratio verdict
    ratio=$(awk -v k="$2" -v s="$3" 'BEGIN { printf "%.2f", k / s }')
    verdict=$(awk -v k="$2" -v s="$3" 'BEGIN { print (k * 2 <= s) ? 1 : 0 }')
    printf '%-22s kelvmap-cli %6.3f s   sqlite3 %6.3f s   ratio %s   %s\n' "$1" "$2" "$3" "$ratio" \
        "$([ "$verdict" = 1 ] && echo 'target met' || echo 'TARGET MISSED (> 0.5)')"
}
echo "$lines lines, best of $runs runs, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
report "fresh table" "$(best "${kf[@]}")" "$(best "${sf[@]}")"
report "over full table" "$(best "${ko[@]}")" "$(best "${so[@]}")"
