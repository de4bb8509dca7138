#!/usr/bin/env bash
# Starts KelvMap on the bundled sample universe (BUILD_DIR/bin/Data, made by
# the build). Without a display, writes the sample map as a JPEG instead.
# Usage: scripts/run-sample.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
bin="$1/bin"
data="$bin/Data"

for f in "$bin/kelvmap" "$bin/kelvmap-cli" "$data/Sectors.dat"; do
  if [ ! -e "$f" ]; then
    echo "run-sample: $f is missing; build first (make build)" >&2
    exit 1
  fi
done

# The tables are rebuilt from the sample's exports at every start, so the
# real import runs each time.
echo "run-sample: importing the sample universe into $data"
"$bin/kelvmap-cli" import "$data"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/kelvmap"
fi

out="$(pwd)/kelvmap-sample.jpg"
echo "run-sample: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); rendering the sample map instead"
QT_QPA_PLATFORM=offscreen "$bin/kelvmap-cli" render "$data" "$out"
echo "run-sample: wrote $out"
