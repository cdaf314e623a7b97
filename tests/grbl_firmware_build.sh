#!/usr/bin/env bash
# Builds the GRBL 1.1 firmware's host simulator, where its sources stand beside the project, into
# the build folder, for the estimate's check against the firmware's own clock. Exit 77 (skipped)
# where there are no sources or they do not build.
#   bash tests/grbl_firmware_build.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
sources=$(realpath -m "$1/../shared/grbl-sim")
into="$2/grbl-sim"
if [ ! -f "$sources/build.sh" ]; then
  echo "skipped: the GRBL simulator's sources are not at $sources"
  exit 77
fi
[ -x "$into/grbl_sim.exe" ] && exit 0
mkdir -p "$into"
if ! bash "$sources/build.sh" "$into" >"$into/build.log" 2>&1 || [ ! -x "$into/grbl_sim.exe" ]; then
  echo "skipped: the GRBL simulator does not build here; see $into/build.log:"
  tail -n 20 "$into/build.log"
  exit 77
fi
