#!/usr/bin/env bash
# Inputs far beyond what a person writes: the program must stream them in
# bounded memory and end the run properly.
#   1. a job file that is one 64 MiB line: the header is missing (data error)
#   2. a job file of 200,000 jobs: all counted, a complete run
#   3. a job of 237 elements with 131,072 constraints, the most of both
# Each run's peak resident memory must stay under 16 MiB, the third's
# under its own bound (below).
#   usage: tests/stress_inputs.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
limit_kb=16384
failed=0

check() {  # name, expected exit status, expected last screen line[, peak KiB]
  local name=$1 want_status=$2 want_last=$3 limit=${4:-$limit_kb} status=0
  /usr/bin/time -f %M -o rss.txt "$program" "$name" </dev/null >screen.txt || status=$?
  local rss last
  rss=$(tail -n 1 rss.txt)
  last=$(tail -n 1 screen.txt | tr -d '\r')
  if [[ $status != "$want_status" || $last != "$want_last" || $rss -gt $limit ]]; then
    echo "FAIL $name: status $status (want $want_status), peak ${rss} KiB (at most $limit)," \
      "last line: $last"
    failed=1
  else
    echo "ok   $name: status $status, peak ${rss} KiB"
  fi
}

head -c $((64 * 1024 * 1024)) /dev/zero | tr '\0' 'x' >one_line.txt
check one_line.txt 0 "  Press <enter> to quit"

{
  printf '\\verbose=false\n\\subtrahend-in-exponent=0\n\\operationsymbols=*\n\\beginjob\n'
  for ((i = 0; i < 1000; i++)); do
    printf '\\name\nZ2\n\\size\n2\n\\elements\neg\n\\constraints\ne*e=e e*g=g g*e=g g*g=e\n\\endofjob\n'
  done >block.txt
  for ((i = 0; i < 200; i++)); do cat block.txt; done
  printf '\\enddata\n'
} >many_jobs.txt
check many_jobs.txt 0 "Thank you for using this program.   Hit <enter> twice to abandon!"
jobs=$(grep -c '^Result for A=Z2:  |Sub(A)| = 3, whence' many_jobs_r0.txt)
if [[ $jobs != 200000 ]]; then
  echo "FAIL many_jobs.txt: $jobs results, want 200000"
  failed=1
fi

# The largest job: 237 elements, every byte an element may be, and
# 131,072 constraints: Z_237 under + and the star semilattice under * as
# full tables, and the first 18,734 sums again under #. Its closed sets are
# the empty set and the four subgroups of Z_237 = Z_3 x Z_79, which all
# hold 0 and so are closed under * too: 5. Peak 9,312 KiB measured with
# `/usr/bin/time -f %M build/release/tallyra big_tables.txt` on the release
# build; the bound is 1.5 times it.
LC_ALL=C awk -v sizes=237 -v ops='+*#' -f "$here/big_job_file.awk" | tr '?' '\000' >big_tables.txt
check big_tables.txt 0 "Thank you for using this program.   Hit <enter> twice to abandon!" 13968
if ! grep -q -a '^Result for A=Z237 and star:  |Sub(A)| = 5, whence' big_tables_r0.txt; then
  echo "FAIL big_tables.txt: no count of 5"
  failed=1
fi
exit $failed
