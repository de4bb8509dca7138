#!/usr/bin/env bash
# Installs a build into a staging folder and checks what a user gets: every
# file in its place and nothing else, the desktop entry, the AppStream
# metadata and the manual pages valid, and the installed kelvmap-cli able to
# import the installed sample universe and render its map.
# Usage: scripts/check-install.sh BUILD_DIR
# Needs desktop-file-utils, appstream and man-db (scripts/install-deps.sh).
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/CMakeCache.txt" ]; then
  echo "usage: $0 BUILD_DIR (a configured and built build folder)" >&2
  exit 2
fi
build=$1
id=org.example.kelvmap
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Installed under a usr/ of its own, as a package lays it out.
root=$work/root
stage=$root/usr
failures=0
fail() {
  echo "check-install: FAILED: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$stage" >/dev/null

# The files of an install, and no others.
expected=(
  bin/kelvmap bin/kelvmap-cli
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  share/man/man1/kelvmap.1.gz share/man/man1/kelvmap-cli.1.gz
  share/kelvmap/sample/sectors.txt share/kelvmap/sample/resources.txt share/kelvmap/sample/fabs.txt
  "share/kelvmap/sample/sector fabs.txt" "share/kelvmap/sample/fabs resources.txt"
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$stage" && find . -type f -printf '%P\n' | sort) >"$work/files.diff" ||
  fail "installed files differ from the expected ones (< missing, > unexpected):
$(grep '^[<>]' "$work/files.diff")"
for program in kelvmap kelvmap-cli; do
  [ -x "$stage/bin/$program" ] || fail "bin/$program is not executable"
done
for size in "${sizes[@]}"; do
  png="$stage/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ ! -f "$png" ] || file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "$png is not a $size px PNG"
done
if ldd "$stage/bin/kelvmap" "$stage/bin/kelvmap-cli" | grep -q 'not found'; then
  fail "a linked library is missing: $(ldd "$stage/bin/kelvmap" "$stage/bin/kelvmap-cli" | grep 'not found')"
fi

# Desktop entry and metadata. appstreamcli exits 0 when the file passes and
# 3 when it fails; --strict fails it on warnings and notes as well.
desktop-file-validate "$stage/share/applications/$id.desktop" || fail "desktop-file-validate $id.desktop"
appstreamcli validate --no-net --strict "$stage/share/metainfo/$id.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
  fail "appstreamcli validate $id.metainfo.xml: $(cat "$work/appstream.txt")"
desktop=$stage/share/applications/$id.desktop
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -n "$exec_program" ] && [ -x "$stage/bin/$exec_program" ] || fail "the desktop entry starts '$exec_program', not an installed program"
# The tree as a software centre reads it: metadata, desktop entry and icon together.
appstreamcli validate-tree --no-net --strict "$root" >"$work/appstream-tree.txt" 2>&1 ||
  fail "appstreamcli validate-tree: $(cat "$work/appstream-tree.txt")"
grep -q "<release version=\"$version\"" "$stage/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata does not name release $version"

# Manual pages: formatted without a warning, and the tool's page covers every
# command and option its --help names.
for page in kelvmap kelvmap-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$stage/share/man/man1/$page.1.gz" 2>&1 >"$work/$page.txt") ||
    fail "man -l $page.1.gz failed"
  [ -z "$warnings" ] || fail "man -l $page.1.gz warns: $warnings"
  grep -q "KelvMap $version" "$work/$page.txt" || fail "$page(1) does not name version $version"
done
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config \
  XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"
cli=$stage/bin/kelvmap-cli
help=$("$cli" --help)
zcat "$stage/share/man/man1/kelvmap-cli.1.gz" >"$work/kelvmap-cli.1"
for command in $(sed -n 's/^  kelvmap-cli \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u); do
  grep -q "^\\.SS \"$command " "$work/kelvmap-cli.1" || fail "kelvmap-cli(1) has no section for the command $command"
done
for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
  grep -qF -- "$option" "$work/kelvmap-cli.txt" || fail "kelvmap-cli(1) does not mention $option"
done

# The installed tool on the installed sample, as a user would start.
[ "$("$cli" --version)" = "kelvmap-cli $version" ] || fail "kelvmap-cli --version says '$("$cli" --version)'"
mkdir "$work/universe"
cp "$stage/share/kelvmap/sample/"*.txt "$work/universe/"
if "$cli" import "$work/universe" >"$work/import.txt"; then
  for table in Sectors Resources Fabs SectorsFabs FabsResources; do
    grep -Eq "^$table: [1-9][0-9]*$" "$work/import.txt" || fail "import reported no records for $table: $(cat "$work/import.txt")"
  done
else
  fail "kelvmap-cli import of the installed sample"
fi
if size=$("$cli" render "$work/universe" "$work/map.png" 2>"$work/render.err"); then
  [ -s "$work/render.err" ] && fail "kelvmap-cli render wrote on stderr: $(cat "$work/render.err")"
  file -b "$work/map.png" | grep -q "^PNG image data, ${size/x/ x }," || fail "render said $size, wrote $(file -b "$work/map.png")"
  [[ $size == 2300x* ]] || fail "the map is $size, not 2300 pixels wide"
else
  fail "kelvmap-cli render of the installed sample: $(cat "$work/render.err")"
fi

# The installed desktop program starts on a fresh user data folder: it makes
# its Data folder there from the installed sample and draws the map.
data=$XDG_DATA_HOME/kelvmap/Data/
grep -qF "$data" <<<"$help" || fail "kelvmap-cli --help does not name the user's data folder $data"
if [ -x "$stage/bin/kelvmap" ]; then
  if started=$(QT_QPA_PLATFORM=offscreen KELVMAP_STARTUP_TIMING=1 timeout 60 "$stage/bin/kelvmap" 2>"$work/start.err"); then
    grep -q "^startup: .* to the first map shown" <<<"$started" || fail "kelvmap showed no map: $started"
    [ -s "$data/Sectors.dat" ] || fail "kelvmap did not fill $data from the sample"
  else
    fail "the installed kelvmap did not start on a fresh data folder: $started $(cat "$work/start.err")"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "check-install: $failures check(s) failed" >&2
  exit 1
fi
echo "check-install: the install of $build (KelvMap $version) is complete and works"
