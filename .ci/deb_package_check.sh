#!/usr/bin/env bash
# Checks the Debian package as installed:
#   1. its control fields (name, section, computed dependencies),
#   2. apt-get installs it,
#   3. the installed tallyra, run on a copy of the installed sample job
#      file, writes the screen and the result file recorded in the
#      end-to-end case sample_job_file (clock digits masked),
#   4. man finds the manual page and groff renders it without a warning,
#   5. where GAP is installed, LoadPackage("tallyra") loads the installed
#      GAP package, which counts with the installed program; ?TallyraCount
#      shows its manual; the package's tests pass; the single file
#      tallyra.g still loads it,
#   6. apt-get removes it again, leaving none of its files.
# Needs root, or sudo; tallyra must not be installed before.
#   usage: .ci/deb_package_check.sh [PACKAGE_FOLDER]   (default build/release)
set -euo pipefail
exec </dev/null

root=$(cd "$(dirname "$0")/.." && pwd)
packages=$(realpath "${1:-$root/build/release}")
debs=("$packages"/tallyra_*.deb)
if ((${#debs[@]} != 1)) || [[ ! -f ${debs[0]} ]]; then
  echo "want exactly one tallyra_*.deb in $packages, found: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}
sudo=()
((EUID == 0)) || sudo=(sudo -n)
installed() { dpkg-query -W -f='${Status}' tallyra 2>/dev/null | grep -q "install ok installed"; }
if installed; then
  echo "tallyra is installed already; this check needs a machine without it" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"; if installed; then "${sudo[@]}" apt-get remove -y -q tallyra; fi' EXIT
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

echo "== control fields of ${deb##*/}"
dpkg-deb --field "$deb" | tee "$work/control"
grep -qx 'Package: tallyra' "$work/control" || fail "package name"
grep -qx 'Section: math' "$work/control" || fail "section"
grep -q '^Depends: .*libc6' "$work/control" || fail "no computed dependency on libc6"
grep -qx 'Suggests: gap' "$work/control" || fail "it does not suggest gap"

echo "== install"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb"
[[ $(command -v tallyra) == /usr/bin/tallyra ]] || fail "tallyra is not /usr/bin/tallyra"

echo "== run the installed program on a copy of the installed sample"
case_dir=$root/tests/e2e/sample_job_file
cp /usr/share/doc/tallyra/Tallyra-SampleData.txt "$work/"
cmp "$work/Tallyra-SampleData.txt" "$root/Tallyra-SampleData.txt" || fail "installed sample differs"
status=0
(cd "$work" && tallyra Tallyra-SampleData.txt >screen.txt) || status=$?
((status == 0)) || fail "exit status $status"
mask() {  # the clock and duration digits differ from run to run
  sed -E 's/(running from |started at |terminated at |it took |computation took )[0-9:.]+/\1#/g' "$1"
}
cmp <(mask "$work/screen.txt") <(mask "$case_dir/screen.txt") || fail "screen differs from $case_dir"
cmp <(mask "$work/Tallyra-SampleData_r0.txt") <(mask "$case_dir/out/Tallyra-SampleData_r0.txt") ||
  fail "result file differs from $case_dir"
grep -a '^Result' "$work/screen.txt" | tr -d '\r'

echo "== manual page"
page=$(man -w tallyra)
echo "$page"
[[ $page == /usr/share/man/man1/tallyra.1.gz ]] || fail "man finds $page"
warnings=$(zcat "$page" | groff -man -ww -z 2>&1) || fail "groff failed"
[[ -z $warnings ]] || fail "groff warns: $warnings"
man tallyra >"$work/man.txt" || fail "man tallyra failed"
grep -q 'EXIT STATUS' "$work/man.txt" || fail "man tallyra shows no EXIT STATUS section"

if command -v gap >/dev/null; then
  echo "== GAP: LoadPackage(\"tallyra\") with the program installed beside it"
  # S4 has 30 subgroups: 31 subuniverses with the empty set. -r: no gap.ini
  # of the user's.
  count=$(cd "$work" && gap -q -r --quitonbreak -c 'if LoadPackage("tallyra") = true then
      Print(TallyraProgram(), " ", TallyraCount(SymmetricGroup(4)), "\n"); fi; QuitGap(0);' \
    </dev/null) || fail "GAP failed"
  echo "$count"
  [[ $count == "/usr/bin/tallyra 31" ]] || fail "LoadPackage and S4 give \"$count\", not \"/usr/bin/tallyra 31\""
  printf 'LoadPackage("tallyra");;\n?TallyraCount\n' | gap -q -r 2>/dev/null |
    sed 's/\x1b\[[0-9;]*m//g' | tr -s ' ' >"$work/help.txt" || true
  grep -q 'TallyraCount( A )' "$work/help.txt" || fail "?TallyraCount shows no manual section"
  echo "== GAP: the installed package's tests"
  (cd "$work" && gap -q -r --quitonbreak /usr/share/gap/pkg/tallyra/tst/testall.g) 2>&1 |
    tee "$work/tests.log" | grep -v '^ \|^testing' || true
  grep -q '^tallyra: all tests passed$' "$work/tests.log" || fail "the package's tests"
  echo "== GAP: Read(\"/usr/share/tallyra/gap/tallyra.g\")"
  count=$(cd "$work" && gap -q -r --quitonbreak \
    -c 'Read("/usr/share/tallyra/gap/tallyra.g"); Print(TallyraCount(SymmetricGroup(4)), "\n"); QuitGap(0);' \
    </dev/null) || fail "GAP failed"
  [[ $count == 31 ]] || fail "TallyraCount(SymmetricGroup(4)) gives $count, not 31"
fi

echo "== remove"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q tallyra
! installed || fail "still installed"
for f in /usr/bin/tallyra /usr/share/man/man1/tallyra.1.gz /usr/share/doc/tallyra /usr/share/tallyra \
  /usr/share/gap/pkg/tallyra; do
  [[ ! -e $f ]] || fail "$f is left"
done

((failed == 0))
echo "the Debian package installs, runs, documents itself and goes again"
