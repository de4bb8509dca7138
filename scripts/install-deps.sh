#!/usr/bin/env bash
# Installs every Debian package needed to build, test, benchmark, package and
# run KelvMap.
# Safe to run again: it installs only what is missing, and refreshes the
# package lists only when something has to be installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-svg-dev libgl-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs
  fonts-liberation fontconfig
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  sqlite3 xvfb xauth imagemagick
  dpkg-dev file desktop-file-utils appstream man-db librsvg2-bin poppler-utils
  qt6-qpa-plugins qt6-translations-l10n
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
