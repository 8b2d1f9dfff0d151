#!/usr/bin/env bash
# Inputs far beyond what a person writes: the program must stream them in
# bounded memory and end the run properly.
#   1. a job file that is one 64 MiB line: the header is missing (data error)
#   2. a job file of 200,000 jobs: all counted, a complete run
# Each run's peak resident memory must stay under 16 MiB.
#   usage: tests/stress_inputs.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
limit_kb=16384
failed=0

check() {  # name, expected exit status, expected last screen line
  local name=$1 want_status=$2 want_last=$3 status=0
  /usr/bin/time -f %M -o rss.txt "$program" "$name" </dev/null >screen.txt || status=$?
  local rss last
  rss=$(tail -n 1 rss.txt)
  last=$(tail -n 1 screen.txt | tr -d '\r')
  if [[ $status != "$want_status" || $last != "$want_last" || $rss -gt $limit_kb ]]; then
    echo "FAIL $name: status $status (want $want_status), peak ${rss} KiB, last line: $last"
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
exit $failed
