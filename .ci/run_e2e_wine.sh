#!/usr/bin/env bash
# Runs the end-to-end cases against the Windows program under Wine.
#
#   .ci/run_e2e_wine.sh [CASE_FOLDER...]
#
# Without folders every case under tests/e2e/ runs; cases marked
# "platforms: posix" are skipped by the runner. The program is
# build/windows/tallyra.exe (cmake --workflow --preset windows), or the one
# named by TALLYRA_EXE. The runner is the native one of the release build
# (build/release/tests/e2e_runner). Wine runs headless in a throw-away prefix that is removed, with its
# wineserver, when the script ends. Exits non-zero when any case fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=${TALLYRA_EXE:-$root/build/windows/tallyra.exe}

if [[ ! -f $exe ]]; then
  echo "run_e2e_wine: $exe is missing; build it with: cmake --workflow --preset windows" >&2
  exit 2
fi
command -v wine >/dev/null || { echo "run_e2e_wine: wine is not installed" >&2; exit 2; }

runner=$root/build/release/tests/e2e_runner
if [[ ! -x $runner ]]; then
  echo "run_e2e_wine: $runner is missing; build it with: cmake --workflow --preset release" >&2
  exit 2
fi

if (($# > 0)); then
  cases=("$@")
else
  cases=()
  for dir in "$root"/tests/e2e/*; do
    [[ -d $dir ]] && cases+=("$dir")
  done
fi

# No display, no Wine chatter on stderr, no offers to install Mono or Gecko.
export DISPLAY=
unset WAYLAND_DISPLAY
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tallyra-wine.XXXXXX")
export WINEPREFIX

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Setting up the prefix takes a while; done once here so that no case runs
# into the runner's time limit.
wineboot -i >/dev/null 2>&1 || true

# Wine itself now and then loses a case (its server drops the connection,
# the screen comes back empty): the cases that failed run once more under
# a new wineserver, and fail only if they fail again. A fault of the
# program fails both times.
log=$WINEPREFIX.log
status=0
"$runner" --program "$exe" --prefix wine --platform windows "${cases[@]}" | tee "$log" ||
  status=$?
if ((status != 0)); then
  mapfile -t failed < <(sed -n 's/^FAIL \([^ ]*\).*/\1/p' "$log")
  if ((${#failed[@]} > 0 && ${#failed[@]} <= 3)); then
    echo "run_e2e_wine: once more under a new wineserver: ${failed[*]}"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    status=0
    "$runner" --program "$exe" --prefix wine --platform windows \
      "${failed[@]/#/$root/tests/e2e/}" || status=$?
  fi
fi
rm -f "$log"
exit "$status"
