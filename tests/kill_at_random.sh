#!/usr/bin/env bash
# A run killed (SIGKILL) at a random moment leaves its job file as it was,
# no file but its own result file, and in that file a beginning of what a
# whole run writes there (clock and duration digits aside). The job file
# holds jobs of 129 to 237 elements with full tables, 6 MB of them, so that
# most kills fall while the program reads, counts and writes. The clean
# run's counts are checked against the number of divisors of each size.
#   usage: tests/kill_at_random.sh PROGRAM [KILLS [SEED]]
set -euo pipefail
program=$(realpath "$1")
kills=${2:-40}
RANDOM=${3:-$$}
echo "seed ${3:-$$}"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir run
sizes="237 129 237 200 237 129 237 160 237 129 237 236"
LC_ALL=C awk -v sizes="$sizes" -v ops='+*' -f "$here/big_job_file.awk" | tr '?' '\000' >job.txt
cp job.txt run/data.txt

# Clock and duration digits differ from run to run; a line cut short is
# masked as far as it goes.
mask() {
  LC_ALL=C sed -E '1s/[0-9]+/0/g; s/^The computation took [0-9]+/The computation took 0/' "$1"
}

start=$(date +%s%N)
(cd run && "$program" data.txt </dev/null >/dev/null)
span_ms=$((($(date +%s%N) - start) / 1000000 + 1))
mv run/data_r0.txt whole.txt
mask whole.txt >whole.masked
for n in $sizes; do
  divisors=0
  for ((d = 1; d <= n; d++)); do ((n % d == 0)) && divisors=$((divisors + 1)); done
  line="Result for A=Z$n and star:  |Sub(A)| = $((divisors + 1)), whence"
  if ! grep -q -a -F "$line" whole.txt; then
    echo "FAIL clean run: no line \"$line\""
    exit 1
  fi
done

failed=0
empty=0 partial=0 complete=0
for ((i = 1; i <= kills; i++)); do
  # A moment up to a fifth past the clean run's length, in milliseconds.
  delay_ms=$((RANDOM * span_ms * 6 / 5 / 32768))
  (cd run && exec "$program" data.txt </dev/null >/dev/null) &
  pid=$!
  sleep "$((delay_ms / 1000)).$(printf %03d $((delay_ms % 1000)))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  what="kill $i at $delay_ms ms"
  if ! cmp -s job.txt run/data.txt; then
    echo "FAIL $what: the job file changed"
    failed=1
    cp job.txt run/data.txt
  fi
  for file in run/* run/.[!.]*; do
    if [[ -e $file && $file != run/data.txt && $file != run/data_r0.txt ]]; then
      echo "FAIL $what: a file other than the result file: $file"
      failed=1
      rm -rf "$file"
    fi
  done
  if [[ ! -e run/data_r0.txt ]]; then
    empty=$((empty + 1))
    continue
  fi
  mask run/data_r0.txt >part.masked
  size=$(stat -c %s part.masked)
  if ! cmp -s -n "$size" part.masked whole.masked || [[ $size -gt $(stat -c %s whole.masked) ]]; then
    echo "FAIL $what: the result file ($(stat -c %s run/data_r0.txt) bytes) is not a beginning" \
      "of the whole run's"
    failed=1
  elif [[ $size -eq $(stat -c %s whole.masked) ]]; then
    complete=$((complete + 1))
  elif [[ $size -eq 0 ]]; then
    empty=$((empty + 1))
  else
    partial=$((partial + 1))
  fi
  rm -f run/data_r0.txt
done
echo "$kills kills in a run of $span_ms ms: $empty before any result, $partial in the middle," \
  "$complete after the end"
exit $failed
