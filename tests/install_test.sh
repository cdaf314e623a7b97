#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop finds there.
#   bash tests/install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/quorrel bin/quorrel-gcode \
    share/applications/quorrel.desktop \
    share/metainfo/org.example.quorrel.metainfo.xml \
    share/icons/hicolor/scalable/apps/quorrel.svg \
    share/icons/hicolor/256x256/apps/quorrel.png \
    share/man/man1/quorrel-gcode.1 \
    share/doc/quorrel/README.md share/doc/quorrel/LICENSE; do
  [ -s "$prefix/$file" ] || { echo "missing: $file"; exit 1; }
done
[ -x "$prefix/bin/quorrel" ] && [ -x "$prefix/bin/quorrel-gcode" ]

desktop-file-validate "$prefix/share/applications/quorrel.desktop"
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/org.example.quorrel.metainfo.xml"
grep -q '<launchable type="desktop-id">quorrel.desktop</launchable>' \
  "$prefix/share/metainfo/org.example.quorrel.metainfo.xml"
grep -qx 'Exec=quorrel' "$prefix/share/applications/quorrel.desktop"
grep -qx 'Icon=quorrel' "$prefix/share/applications/quorrel.desktop"

# A PNG of 256 by 256 pixels: the width and height stand at bytes 16 to 23.
size=$(od -An -tx1 -j16 -N8 "$prefix/share/icons/hicolor/256x256/apps/quorrel.png" | tr -d ' \n')
[ "$size" = "0000010000000100" ] || { echo "icon is not 256 x 256: $size"; exit 1; }

"$prefix/bin/quorrel-gcode" >"$prefix/default.din"
cmp "$prefix/default.din" "$source/tests/data/golden/rectangle_outline_defaults.din"
echo "installed: every file in place, the desktop entry valid, the default program written"
