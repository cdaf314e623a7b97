#!/usr/bin/env bash
# Runs every fuzz target of the fuzz preset for the given number of seconds each (default 30),
# starting from the seeds in tests/fuzz/corpus. New inputs collect in build/fuzz/corpus.
#   bash tests/fuzz/run.sh 3600
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
seconds=${1:-30}
for target in parse_field_number job read_program machines_file controller_job job_file; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  cp -n tests/fuzz/corpus/$target/* "$corpus"/
  echo "fuzzing $target for ${seconds}s"
  build/fuzz/tests/fuzz/${target}_fuzzer "$corpus" -max_total_time="$seconds" -timeout=20 \
    -artifact_prefix=build/fuzz/ \
    -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 2>&1 | tail -n 12
done
