#!/usr/bin/env bash
# Renders the program's icon (dist/icons/org.example.kelvmap.svg) into the PNG
# sizes that are installed into the hicolor theme and built into the program
# as its window icon. Run it after changing the SVG and commit the PNGs.
# Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"

for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "org.example.kelvmap-$size.png" org.example.kelvmap.svg
done
echo "make-icons: wrote $(ls org.example.kelvmap-*.png | wc -l) PNGs in dist/icons"
