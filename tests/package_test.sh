#!/usr/bin/env bash
# Builds the Debian package from the build and inspects it.
#   bash tests/package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1")
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB >/dev/null)
deb=$(ls "$work"/quorrel_"$version"_*.deb)

info=$(dpkg-deb --info "$deb")
for field in 'Package: quorrel' "Version: $version" 'Section: science' 'Maintainer: The Quorrel developers'; do
  grep -q "^ $field" <<<"$info" || { echo "no \"$field\" in the control file"; echo "$info"; exit 1; }
done
# The dependencies are computed from the binaries.
grep -Eq '^ Depends: .*libc6.*' <<<"$info" && grep -Eq '^ Depends: .*libqt6widgets6' <<<"$info" ||
  { echo "dependencies not computed"; echo "$info"; exit 1; }

contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/quorrel ./usr/bin/quorrel-gcode ./usr/share/applications/quorrel.desktop \
    ./usr/share/icons/hicolor/scalable/apps/quorrel.svg \
    ./usr/share/icons/hicolor/256x256/apps/quorrel.png ./usr/share/man/man1/quorrel-gcode.1 \
    ./usr/share/doc/quorrel/README.md ./usr/share/doc/quorrel/LICENSE; do
  grep -q " $file\$" <<<"$contents" || { echo "missing from the package: $file"; exit 1; }
done
echo "package: $(basename "$deb"), control fields and contents as expected"
