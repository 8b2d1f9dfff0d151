#!/usr/bin/env bash
# Counting from GAP with the GAP package tallyra and the program of a build:
#   1. installs the build in a folder of the check's own, whose path is
#      more than 100 characters long (a file written from GAP with print
#      formatting on would break its lines there),
#   2. checks the installed PackageInfo.g with ValidatePackageInfo, and
#      runs the package's tests, tst/testall.g, with the installed program,
#      which the package finds beside it,
#   3. shows ?TallyraCount from the installed manual,
#   4. reads the single file tallyra.g as older sessions do, with the
#      program set as a global string before,
#   5. runs tests/gap/faults.g for each failure around a run: Ctrl-C in a
#      session of its own; a TMPDIR where no folder can be made; a full disk
#      while the job file is written and while the program runs, on tiny
#      file systems where this check may mount them (root, unshare), with
#      a file size limit standing in for the first otherwise.
#   usage: .ci/gap_check.sh BUILD_DIR
# Needs GAP with its small groups library, GAPDoc and its online help
# (bash scripts/install-packages.sh gap), and a build configured with GAP
# installed (it makes the package's manual). Reads no standard input;
# exits non-zero on any failure.
set -euo pipefail
exec </dev/null

if (($# != 1)); then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
source=$(pwd)
if [[ ! -x $build/tallyra ]]; then
  echo "no program at $build/tallyra" >&2
  exit 1
fi
if [[ ! -f $build/gap/doc/manual.six ]]; then
  echo "no GAP manual in $build/gap/doc: configure and build with GAP installed" >&2
  exit 1
fi

# Everything, GAP's temporary folders too, goes into a folder of the check's
# own, removed at the end, also when GAP quits early and leaves them.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
deep=$work
while ((${#deep} < 100)); do
  deep=$deep/a-folder-with-a-long-name
done
prefix=$deep/prefix
mkdir -p "$deep/tmp"
export TMPDIR=$deep/tmp
echo "== installing $build in $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
package=$prefix/share/gap/pkg/tallyra

# -r: no gap.ini or gaprc of the user's, which might set another program.
gapRun() {
  gap -q -r --quitonbreak -l ";$prefix/share/gap" "$@"
}
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

echo "== ValidatePackageInfo"
# GAP 4.12 and earlier want a PDF manual, which the build makes only where
# LaTeX is installed: without it, the one complaint allowed is the missing
# PDFFile.
status=0
gapRun -c "Print(\"ValidatePackageInfo: \", ValidatePackageInfo(\"$package/PackageInfo.g\"), \"\n\");
  QuitGap(0);" >"$work/validate.log" 2>&1 || status=$?
cat "$work/validate.log"
if ((status != 0)); then
  fail "ValidatePackageInfo (exit status $status)"
elif ! grep -q '^ValidatePackageInfo: true$' "$work/validate.log"; then
  if [[ -f $package/doc/manual.pdf ]] || grep '^#E' "$work/validate.log" | grep -qv 'PDFFile'; then
    fail "ValidatePackageInfo answers false"
  else
    echo "#I  no PDF manual (no LaTeX when the build made the manual): only PDFFile is missing"
  fi
fi

echo "== the package's tests"
status=0
gapRun "$package/tst/testall.g" 2>&1 | tee "$work/tests.log" || status=$?
if ((status != 0)) || ! grep -q '^tallyra: all tests passed$' "$work/tests.log"; then
  fail "the package's tests (exit status $status)"
fi

echo "== ?TallyraCount"
printf 'LoadPackage("tallyra");;\n?TallyraCount\n' |
  gapRun 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g' | tr -s ' ' >"$work/help.txt" || true
grep -q 'TallyraCount( A )' "$work/help.txt" || fail "?TallyraCount shows no manual section"
grep -q 'the number of subuniverses of A' "$work/help.txt" || fail "?TallyraCount shows another text"

echo "== Read(\".../tallyra.g\") with TallyraProgram set before"
mkdir -p "$deep/elsewhere"
cp "$build/tallyra" "$deep/elsewhere/tallyra"
count=$(gapRun -c "TallyraProgram := \"$deep/elsewhere/tallyra\";
  Read(\"$prefix/share/tallyra/gap/tallyra.g\");
  Print(TallyraProgram() = \"$deep/elsewhere/tallyra\", \" \", TallyraCount(SymmetricGroup(4)), \"\n\");
  QuitGap(0);" </dev/null) || fail "reading tallyra.g"
[[ $count == "true 31" ]] || fail "tallyra.g: the program set before and S4 give \"$count\", not \"true 31\""

echo "== failures around a run"
fault() {  # case, then the command that runs GAP, or a prefix of it
  local case=$1
  shift
  local status=0
  "$@" gap -q -r --quitonbreak -l ";$prefix/share/gap" \
    -c "TallyraFault := \"$case\";" "$source/tests/gap/faults.g" 2>&1 |
    tee "$work/fault.log" || status=$?
  if ((status != 0)) || ! grep -q "^faults.g $case: passed$" "$work/fault.log"; then
    fail "faults.g $case (exit status $status)"
  fi
}
# A session of its own, so that the SIGINT reaches GAP and its children only.
fault interrupted setsid --wait
fault notmp env TMPDIR="$deep/no-such-folder"
# Tiny file systems, in a mount namespace of their own: 16 KB, too small for
# the job file; 32 KB, which holds the job file but not the result file.
mounts=$deep/mounts
mkdir -p "$mounts/small" "$mounts/medium" "$mounts/readonly"
if unshare --mount true 2>/dev/null &&
  unshare --mount sh -c "mount -t tmpfs -o size=16k tmpfs '$mounts/small'" 2>/dev/null; then
  inMounts() {  # a command run with the three file systems mounted
    unshare --mount sh -c '
      mount -t tmpfs -o size=16k tmpfs "$0/small" &&
      mount -t tmpfs -o size=32k tmpfs "$0/medium" &&
      mount -t tmpfs -o ro,size=16k tmpfs "$0/readonly" && exec "$@"' "$mounts" "$@"
  }
  fault jobfull inMounts env TMPDIR="$mounts/small"
  fault runfull inMounts env TMPDIR="$mounts/medium"
  fault notmp inMounts env TMPDIR="$mounts/readonly"
else
  echo "#I  no tiny file system can be mounted here (needs root and unshare): a file size"
  echo "#I  limit stands in for a full disk while the job file is written, and the full"
  echo "#I  disk while the program runs is left to tst/errors.tst's stand-in"
  fault jobfull bash -c 'trap "" XFSZ; ulimit -f 64; exec "$@"' limited
fi

if ((failed != 0)); then
  echo "the GAP check failed" >&2
  exit 1
fi
echo "the GAP check passed"
