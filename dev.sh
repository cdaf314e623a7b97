#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quorrel and builds it.
#   bash dev.sh run    install what is missing, build, start the program
#   bash dev.sh test   install what is missing, build, run every test
#   bash dev.sh bench  install what is missing, build optimised, measure the speed
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

# Debian packages the build and the tests need.
packages=(
  g++ cmake ninja-build pkgconf clang-format
  libgtest-dev libtomlplusplus-dev
  qt6-base-dev librsvg2-dev fonts-dejavu-core
  librsvg2-bin desktop-file-utils appstream dpkg-dev file python3
  locales
  clang libclang-rt-14-dev
)

install_missing_packages() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "dev.sh: these packages are missing and installing them needs root: ${missing[*]}" >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  echo "dev.sh: installing ${missing[*]}"
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  cmake --preset "$1"
  cmake --build --preset "$1" "${@:2}"
}

case "${1:-}" in
  run)
    install_missing_packages
    build release --target quorrel quorrel-gcode
    echo "dev.sh: the command-line tool is build/release/cli/quorrel-gcode"
    exec build/release/app/quorrel
    ;;
  bench)
    packages+=(libbenchmark-dev hyperfine time)
    install_missing_packages
    cmake --preset release -DQUORREL_BUILD_BENCHMARKS=ON
    cmake --build --preset release --target bench
    ;;
  test)
    # LinuxCNC's own interpreter, rs274, reads every controller program the tests write; strace
    # shows how a save meets the file system, and stands in for one that cannot reserve room.
    packages+=(linuxcnc-uspace strace)
    install_missing_packages
    build dev
    ctest --preset dev
    ;;
  *)
    echo "usage: bash dev.sh run|test|bench" >&2
    exit 2
    ;;
esac
