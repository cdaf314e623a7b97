#!/usr/bin/env bash
# Rewrites the expected programs under tests/data/golden from quorrel-gcode's output.
# Run only after a reviewed change to the programs; the tests never run this.
#   bash tests/update_golden.sh build/dev/cli/quorrel-gcode
set -euo pipefail
tool=$(realpath "$1")
cd "$(dirname "${BASH_SOURCE[0]}")/data"
mkdir -p golden
while IFS=$'\t' read -r -a fields; do
  [[ ${#fields[@]} -eq 0 || ${fields[0]} == \#* ]] && continue
  name=${fields[0]}
  args=()
  for argument in "${fields[@]:2}"; do args+=("${argument//\\n/$'\n'}"); done
  extension=.din
  [[ " ${args[*]} " == *" --dialect=linuxcnc "* ]] && extension=.ngc
  [[ " ${args[*]} " == *" --dialect=grbl "* ]] && extension=.nc
  "$tool" "${args[@]}" >"golden/$name$extension" 2>/dev/null || true
done <golden_cases.tsv
