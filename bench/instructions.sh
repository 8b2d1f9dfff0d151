#!/usr/bin/env bash
# The engine's instructions for every job of the benchmark's families, by
# callgrind: each count of `tallyra_bench --families --once` (the given
# element order and --shuffle N random ones) is measured on its own, from
# the call of SubuniverseEngine::count to its return. Instruction counts do
# not vary from run to run or with the load of the machine, so two builds
# can be compared job by job.
#   usage: bench/instructions.sh [--shuffle N] [--family NAME]... [--engine OPTIONS]
#                                [--baseline-engine OPTIONS] BENCH [BASELINE_BENCH]
# BENCH is a tallyra_bench program. With a baseline, each family's line
# gives its instructions now and before, their ratio, and the job with the
# highest ratio; every job's figures are left in $TMPDIR/tallyra-instructions/.
# --engine and --baseline-engine hand engine options to BENCH and to
# BASELINE_BENCH (the same program may be both, with other options).
set -euo pipefail
shuffle=0
families=()
engine=()
baselineEngine=()
while (($# > 0)); do
  case $1 in
    --shuffle) shuffle=$2; shift 2 ;;
    --family) families+=("$2"); shift 2 ;;
    --engine) engine=(--engine "$2"); shift 2 ;;
    --baseline-engine) baselineEngine=(--engine "$2"); shift 2 ;;
    *) break ;;
  esac
done
if (($# < 1 || $# > 2)); then
  echo "usage: bench/instructions.sh [--shuffle N] [--family NAME]... [--engine OPTIONS]" \
    "[--baseline-engine OPTIONS] BENCH [BASELINE_BENCH]" >&2
  exit 2
fi
out=${TMPDIR:-/tmp}/tallyra-instructions
mkdir -p "$out"
function=$'tallyra::SubuniverseEngine::count(int, tallyra::Constraint const*, int)'

if ((${#families[@]} == 0)); then
  # Every family the benchmark has, in its order.
  mapfile -t families < <("$1" --list)
fi

# Writes "family job order count instructions" for each count to $2; the
# arguments after the third go to the benchmark.
measure() {
  local bench=$1 table=$2 family=$3 dumps
  shift 3
  dumps=$(mktemp -d)
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect="$function" \
    --dump-after="$function" --callgrind-out-file="$dumps/cg" \
    "$bench" --families --once --shuffle "$shuffle" --family "$family" "$@" 2>/dev/null |
    grep -v '^|' >"$dumps/jobs"
  # The warm-up counts come first; they are not kept.
  local n
  n=$(wc -l <"$dumps/jobs")
  for ((i = 1; i <= n; ++i)); do sed -n 's/^totals: //p' "$dumps/cg.$i"; done >"$dumps/ir"
  paste -d' ' "$dumps/jobs" "$dumps/ir" | grep -v '^warm-up ' >>"$table"
  rm -rf "$dumps"
}

now=$out/now.txt
before=$out/before.txt
: >"$now"
(($# == 2)) && : >"$before"
for family in "${families[@]}"; do
  measure "$1" "$now" "$family" "${engine[@]}"
  if (($# == 2)); then measure "$2" "$before" "$family" "${baselineEngine[@]}"; fi
done
if (($# == 1)); then
  awk '{ ir[$1] += $5; jobs[$1]++ } END { for (f in ir) printf "%s %d %d\n", f, jobs[f], ir[f] }' "$now"
  exit 0
fi
echo "| family | counts | instructions now | before | now/before | highest job now/before |"
echo "|---|---:|---:|---:|---:|---|"
paste -d' ' "$now" "$before" | awk '
  $1 != $6 || $2 != $7 || $3 != $8 { print "MISMATCH of jobs: " $0; bad = 1; exit }
  $4 != $9 { print "MISMATCH of counts: " $0; bad = 1 }
  {
    f = $1; now[f] += $5; before[f] += $10; n[f]++
    if (!(f in order)) { order[f] = ++families; name[families] = f }
    r = $10 > 0 ? $5 / $10 : 1
    if (!(f in worst) || r > worst[f]) { worst[f] = r; worstJob[f] = $2 "/" $3 " (" $5 " / " $10 ")" }
  }
  END {
    if (bad) exit 1
    for (i = 1; i <= families; ++i) {
      f = name[i]
      printf "| %s | %d | %.0f | %.0f | %.3f | %.3f %s |\n", f, n[f], now[f], before[f], now[f] / before[f], worst[f], worstJob[f]
    }
  }'
