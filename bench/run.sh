#!/usr/bin/env bash
# Measures what a machinist waits for, in one run, side by side:
#   bash bench/run.sh build/release
# A second build (of another commit) is measured in the same run, row by row beside the first:
#   bash bench/run.sh build/release /tmp/before/build/release
set -euo pipefail
build=$(realpath "${1:-build/release}")
other=${2:+$(realpath "$2")}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "== Number text and whole programs (Google Benchmark, median of 5)"
"$build/bench/gcode_benchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  2>/dev/null | grep -E '^Benchmark|_median'

# The largest Fill of each shape: a tool radius of 0.001 in a pocket just small enough that the
# ring count stays within 32767.
largest=(--width=98.303 --height=98.303 --tool-radius=0.001 --fill)
circle=(--shape=circle --radius=49.151 --tool-radius=0.001 --fill)
rounded=(--shape=rounded-rectangle --radius=49 "${largest[@]}")

# Writes a program with the given options against cat copying the same bytes, then its peak
# memory, for each build. With STDOUT=1 the program goes to standard output, redirected to the
# file.
measure_against_cat() {
  local what=$1
  shift
  local to="-o written.out"
  [ "${STDOUT:-0}" = 1 ] && to="> written.out"
  "$build/cli/quorrel-gcode" "$@" -o expected.out
  echo
  echo "== $what ($(wc -l <expected.out) lines, $(wc -c <expected.out) bytes) against cat"
  for tool in "$build/cli/quorrel-gcode" ${other:+"$other/cli/quorrel-gcode"}; do
    # A file is measured against the same bytes put in place as durably as a save does;
    # standard output against cat.
    local against="$build/bench/durable_copy expected.out copied.out" target="2 x the durable copy"
    [ "${STDOUT:-0}" = 1 ] && against="cat expected.out > copied.out" && target="2 x cat"
    hyperfine --warmup 5 --runs 60 --export-json times.json \
      "$tool $* $to" "cat expected.out > copied.out" "$against" >/dev/null
    TOOL=$tool TARGET=$target python3 - <<'PY'
import json, os
runs = json.load(open("times.json"))["results"]
write, cat, durable = (sorted(r["times"])[len(r["times"]) // 2] * 1000 for r in runs)
print(f"{os.environ['TOOL']}: {write:.2f} ms, cat {cat:.2f} ms, the durable copy {durable:.2f} ms (medians): "
      f"{write / cat:.2f} x cat, {write / durable:.2f} x the durable copy (target: at most {os.environ['TARGET']})")
PY
    cmp expected.out written.out
    local peak
    if [ "${STDOUT:-0}" = 1 ]; then
      peak=$( { /usr/bin/time -f '%M' "$tool" "$@" >written.out; } 2>&1 )
    else
      peak=$( { /usr/bin/time -f '%M' "$tool" "$@" -o written.out; } 2>&1 )
    fi
    echo "  peak memory: $((peak / 1024)) MB ($peak kB; target: under 10 MB)"
  done
}

measure_against_cat "The largest rectangle Fill program" "${largest[@]}"
measure_against_cat "The largest circle Fill program" "${circle[@]}"
measure_against_cat "The largest rounded rectangle Fill program" "${rounded[@]}"
measure_against_cat "The largest rectangle Fill for GRBL, one pass" "${largest[@]}" \
  --dialect=grbl --units=mm --feed=600
measure_against_cat "The same for LinuxCNC in four passes" "${largest[@]}" --dialect=linuxcnc \
  --units=mm --feed=600 --step-down=0.5
STDOUT=1 measure_against_cat "The same to standard output" "${largest[@]}" --dialect=linuxcnc \
  --units=mm --feed=600 --step-down=0.5

if [ -x "$build/bench/window_start" ]; then
  echo
  echo "== quorrel started headless to its first painted window"
  QT_QPA_PLATFORM=offscreen hyperfine --warmup 3 --runs 30 --export-json start.json \
    "$build/bench/window_start" >/dev/null
  python3 - <<'PY'
import json
times = sorted(json.load(open("start.json"))["results"][0]["times"])
print(f"median {times[len(times) // 2] * 1000:.1f} ms (target: under 150 ms)")
PY
fi
