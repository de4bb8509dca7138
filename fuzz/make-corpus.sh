#!/usr/bin/env bash
# Regenerates the seed corpus of fuzz_table_open with kelvmap-cli:
#   fuzz/make-corpus.sh path/to/kelvmap-cli
# The seeds are committed; run this only when the format or the CLI changes.
set -euo pipefail
cli=${1:?usage: make-corpus.sh path/to/kelvmap-cli}
out=$(cd "$(dirname "$0")" && pwd)/corpus
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# Header only: a table with no fields.
"$cli" create "$tmp/h.dat" X:0:4 && head -c 32 "$tmp/h.dat" >"$out/header-only.dat"

# The worked example of the format: Code/Name with one record.
"$cli" create "$tmp/res.dat" Code:0:4 Name:1:32
cp "$tmp/res.dat" "$out/resources-fields-only.dat"
"$cli" append "$tmp/res.dat" Code=12 Name=Ore
cp "$tmp/res.dat" "$out/resources-one-record.dat"
"$cli" append "$tmp/res.dat" Code=-1 Name=Железо
"$cli" append "$tmp/res.dat" Code=2147483647 Name=abcdefghijklmnopqrstuvwxyz012345
cp "$tmp/res.dat" "$out/resources-three-records.dat"
"$cli" clear "$tmp/res.dat"
cp "$tmp/res.dat" "$out/resources-cleared.dat"

# The sectors shape: 13 integers and a name (R = 86, records from 704).
"$cli" create "$tmp/sec.dat" Code:0:4 x:0:4 y:0:4 Race:0:4 Right:0:4 Down:0:4 Left:0:4 Up:0:4 \
  Shipyard:0:4 ShipyardLight:0:4 Equipment:0:4 Trade:0:4 Pirate:0:4 Name:1:32
"$cli" append "$tmp/sec.dat" Code=1 x=3 y=4 Race=2 Right=92 Down=5 Left=92 Up=92 Name=Kelv
"$cli" append "$tmp/sec.dat" Code=92 x=0 y=0 Race=9 Name=Void
cp "$tmp/sec.dat" "$out/sectors-two-records.dat"

# The link shape of the benchmarks: two integers, a few records.
"$cli" create "$tmp/links.dat" Sector:0:4 Fab:0:4
for i in 1 2 3 4 5; do "$cli" append "$tmp/links.dat" Sector=$i Fab=$((i * 7)); done
cp "$tmp/links.dat" "$out/links-five-records.dat"

# Short strings: declared sizes 1 and 255.
"$cli" create "$tmp/s.dat" A:1:1 B:1:255
"$cli" append "$tmp/s.dat" A=z B=12
cp "$tmp/s.dat" "$out/strings-1-and-255.dat"

ls -l "$out"
