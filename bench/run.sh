#!/usr/bin/env bash
# Measures what a machinist waits for, in one run, side by side:
#   bash bench/run.sh build/release
set -euo pipefail
build=$(realpath "${1:-build/release}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "== Number text and whole programs (Google Benchmark, median of 5)"
"$build/bench/gcode_benchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  2>/dev/null | grep -E '^Benchmark|_median'

tool="$build/cli/quorrel-gcode"
largest=(--width=98.303 --height=98.303 --tool-radius=0.001 --fill)

# Writes the largest program with the given options against cat copying the same bytes, then its
# peak memory. With STDOUT=1 the program goes to standard output, redirected to the file.
measure_against_cat() {
  local what=$1
  shift
  local to="-o written.out"
  [ "${STDOUT:-0}" = 1 ] && to="> written.out"
  "$tool" "${largest[@]}" "$@" -o largest.out
  echo
  echo "== $what ($(wc -l <largest.out) lines, $(wc -c <largest.out) bytes) against cat"
  hyperfine --warmup 5 --runs 60 --export-json times.json \
    "$tool ${largest[*]} $* $to" "cat largest.out > copied.out" >/dev/null
  python3 - <<'PY'
import json
runs = json.load(open("times.json"))["results"]
write, copy = (sorted(r["times"])[len(r["times"]) // 2] * 1000 for r in runs)
print(f"quorrel-gcode {write:.2f} ms, cat {copy:.2f} ms (medians): {write / copy:.2f} x cat (target: at most 4 x)")
PY
  cmp largest.out written.out
  local peak
  if [ "${STDOUT:-0}" = 1 ]; then
    peak=$( { /usr/bin/time -f '%M' "$tool" "${largest[@]}" "$@" >written.out; } 2>&1 )
  else
    peak=$( { /usr/bin/time -f '%M' "$tool" "${largest[@]}" "$@" -o written.out; } 2>&1 )
  fi
  echo "peak memory of that run: $((peak / 1024)) MB ($peak kB; target: under 10 MB)"
}

measure_against_cat "The largest rectangle Fill program"
# The same job for a controller: its program is made line by line from the window's.
measure_against_cat "The same for GRBL" --dialect=grbl --units=mm --feed=600
measure_against_cat "The same for LinuxCNC in four passes" --dialect=linuxcnc --units=mm --feed=600 \
  --step-down=0.5
STDOUT=1 measure_against_cat "The same to standard output" --dialect=linuxcnc --units=mm \
  --feed=600 --step-down=0.5

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
