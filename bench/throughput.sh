#!/usr/bin/env bash
# Whole-run throughput: the program on job files of many small jobs, as
# people who study small algebras generate them. Run by hand; no test runs
# it.
#
#   bench/throughput.sh [--runs N] [--million] [--keep DIR] PROGRAM [BASELINE]
#
# Generates (with build/release/bench/tallyra_jobgen, or $TALLYRA_JOBGEN)
#   partial   100,000 random partial algebras, 6-14 elements, 10-40 facts
#   tables    200,000 full operation tables on 8 elements
#   million   1,000,000 partial algebras (with --million)
# and runs PROGRAM (and BASELINE, side by side in the same run) on each,
# N times (default 3), standard input empty, standard output to a file.
# Reports the fastest run as MB/s and jobs/s, with the peak resident set,
# and the time of merely reading the file (cat to /dev/null) as the floor.
# With BASELINE, the screen and result file of both programs must be the
# same bytes apart from the clock fields, or the script fails.
set -euo pipefail

runs=3
million=0
keep=
while (($# > 0)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --million) million=1; shift ;;
    --keep) keep=$2; shift 2 ;;
    *) break ;;
  esac
done
if (($# < 1 || $# > 2)); then
  echo "usage: $0 [--runs N] [--million] [--keep DIR] PROGRAM [BASELINE]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
programs=("$(realpath "$1")")
(($# == 2)) && programs+=("$(realpath "$2")")
jobgen=${TALLYRA_JOBGEN:-$root/build/release/bench/tallyra_jobgen}
[[ -x $jobgen ]] || { echo "$jobgen is missing: cmake --build --preset release" >&2; exit 2; }

if [[ -n $keep ]]; then
  work=$keep
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

workloads=(partial tables)
declare -A jobs=([partial]=100000 [tables]=200000 [million]=1000000)
declare -A kind=([partial]=partial [tables]=tables [million]=partial)
((million)) && workloads+=(million)
for w in "${workloads[@]}"; do
  [[ -f $work/$w.txt ]] || "$jobgen" "${kind[$w]}" "${jobs[$w]}" 1 >"$work/$w.txt"
done

now() { echo "${EPOCHREALTIME/[.,]/}"; }  # microseconds
mask() {
  sed -E 's/(running from |started at |terminated at |it took |computation took )[0-9:.]+/\1#/g' "$1"
}

echo "| workload | file MB | jobs | program | best s | MB/s | jobs/s | peak RSS KiB |"
echo "|---|---:|---:|---|---:|---:|---:|---:|"
failed=0
for w in "${workloads[@]}"; do
  file=$work/$w.txt
  bytes=$(stat -c %s "$file")
  mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
  row() {  # label, best microseconds, peak KiB
    awk -v w="$w" -v mb="$mb" -v j="${jobs[$w]}" -v label="$1" -v us="$2" -v rss="$3" \
      -v bytes="$bytes" 'BEGIN {
        s = us / 1e6
        printf "| %s | %s | %d | %s | %.3f | %.1f | %.0f | %s |\n", w, mb, j, label, s,
               bytes / 1e6 / s, j / s, rss }'
  }
  best=
  for ((r = 0; r < runs; r++)); do
    start=$(now)
    cat "$file" >/dev/null
    t=$(($(now) - start))
    [[ -z $best || $t -lt $best ]] && best=$t
  done
  row "read only (cat)" "$best" "-"
  for i in "${!programs[@]}"; do
    program=${programs[$i]}
    best=
    for ((r = 0; r < runs; r++)); do
      rm -f "$work/${w}_r0.txt"
      start=$(now)
      /usr/bin/time -f %M -o "$work/rss" "$program" "$file" </dev/null >"$work/screen$i.txt"
      t=$(($(now) - start))
      [[ -z $best || $t -lt $best ]] && best=$t
    done
    mv "$work/${w}_r0.txt" "$work/result$i.txt"
    label=$([[ $i == 0 ]] && echo "program" || echo "baseline")
    row "$label" "$best" "$(tail -n 1 "$work/rss")"
  done
  if ((${#programs[@]} == 2)); then
    for f in screen result; do
      if ! cmp -s <(mask "$work/${f}0.txt") <(mask "$work/${f}1.txt"); then
        echo "DIFFERENT $f on $w (kept in $work)" >&2
        failed=1
        trap - EXIT
      fi
    done
  fi
done
exit $failed
