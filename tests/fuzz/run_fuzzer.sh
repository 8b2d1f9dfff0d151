#!/usr/bin/env bash
# Runs the job file fuzzer for SECONDS (default 120) on the seed corpus: the
# end-to-end cases' job files and the sample job file. Exits non-zero on any
# finding; a crashing input is left as crash-* in the current folder and
# belongs in tests/e2e as a regression case once fixed.
#   usage: tests/fuzz/run_fuzzer.sh [SECONDS] [FUZZER]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${1:-120}"
fuzzer="${2:-$root/build/fuzz/tests/fuzz/job_file_fuzzer}"
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
i=0
for f in "$root"/Tallyra-SampleData.txt "$root"/tests/e2e/*/in/*; do
  [ -f "$f" ] || continue
  [ "$(stat -c %s "$f")" -le 65536 ] || continue
  cp "$f" "$corpus/seed-$i"
  i=$((i + 1))
done
echo "fuzzing for ${seconds}s from $i seeds"
"$fuzzer" "$corpus" -dict="$root/tests/fuzz/job_file.dict" -max_len=65536 \
  -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" -print_final_stats=1
