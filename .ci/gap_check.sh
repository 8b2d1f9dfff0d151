#!/usr/bin/env bash
# Counting from GAP: runs tests/gap/tallyra_test.g, which reads
# gap/tallyra.g and counts with BUILD_DIR/tallyra.
#   usage: .ci/gap_check.sh BUILD_DIR
# Needs GAP with its small groups library (Debian: gap-core, gap-libs,
# gap-smallgrp). Reads no standard input; exits non-zero on any failure.
set -euo pipefail
exec </dev/null

if (($# != 1)); then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
program=$(cd "$1" && pwd)/tallyra
cd "$(dirname "$0")/.."
if [[ ! -x $program ]]; then
  echo "no program at $program" >&2
  exit 1
fi

# GAP's temporary directories go into a folder of the check's own, removed
# at the end, also when GAP quits early and leaves them.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work

# --quitonbreak: an unexpected error ends GAP with a non-zero status
# instead of waiting in a break loop. The test ends by printing its
# summary line; a file whose reading was cut short does not.
status=0
gap -q --quitonbreak -c "TallyraProgram := \"$program\";" tests/gap/tallyra_test.g \
  </dev/null 2>&1 | tee "$work/log" || status=$?
if ((status != 0)) || ! grep -q '^tallyra.g: all [0-9]* checks passed$' "$work/log"; then
  echo "the GAP check failed (exit status $status)" >&2
  exit 1
fi
