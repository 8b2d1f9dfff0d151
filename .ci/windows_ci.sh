#!/usr/bin/env bash
# The Windows part of continuous integration, with the release packages:
#   1. installs the Debian packages it needs (when some are missing),
#   2. cross-compiles tallyra.exe and packs the Windows zip,
#   3. runs every end-to-end case against tallyra.exe under Wine,
#   4. checks what the three packages hold: the zip made here, the tar.gz
#      and the Debian package that `bash scripts/build-and-test.sh
#      --packages` made in build/release/ before.
# Reads no standard input; exits non-zero at the first failure.
set -euo pipefail
exec </dev/null

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
started=$SECONDS
step() { printf '\n== %s (%ds)\n' "$1" $((SECONDS - started)); }

step "packages"
bash scripts/install-packages.sh windows

step "Windows program and zip"
cmake --workflow --preset windows

step "end-to-end cases under Wine"
.ci/run_e2e_wine.sh

step "package contents"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
zip=build/windows/Tallyra-$version-win64.zip
tgz=build/release/Tallyra-$version-Linux.tar.gz
deb=build/release/tallyra_${version}_$(dpkg --print-architecture).deb
zipList=$(cmake -E tar tf "$zip")
tgzList=$(cmake -E tar tf "$tgz")
debList=$(dpkg-deb --fsys-tarfile "$deb" | tar -t)
printf '%s:\n%s\n%s:\n%s\n%s:\n%s\n' "$zip" "$zipList" "$tgz" "$tgzList" "$deb" "$debList"

failed=0
expect() {  # package listing, path inside the package
  if ! grep -qx -- "$2" <<<"$1"; then
    echo "missing from package: $2" >&2
    failed=1
  fi
}
expect "$zipList" "Tallyra-$version-win64/tallyra.exe"
expect "$tgzList" "Tallyra-$version-Linux/bin/tallyra"
expect "$debList" "./usr/bin/tallyra"
expect "$tgzList" "Tallyra-$version-Linux/share/man/man1/tallyra.1.gz"
expect "$debList" "./usr/share/man/man1/tallyra.1.gz"
for doc in README.md Tallyra-SampleData.txt packages.md; do
  expect "$zipList" "Tallyra-$version-win64/$doc"
  expect "$tgzList" "Tallyra-$version-Linux/share/doc/tallyra/$doc"
  expect "$debList" "./usr/share/doc/tallyra/$doc"
done
expect "$zipList" "Tallyra-$version-win64/gap/tallyra.g"
expect "$tgzList" "Tallyra-$version-Linux/share/tallyra/gap/tallyra.g"
expect "$debList" "./usr/share/tallyra/gap/tallyra.g"
# The GAP package, its manual and its tests.
for file in PackageInfo.g init.g read.g lib/tallyra.gd lib/tallyra.gi lib/program.g \
  doc/manual.six doc/chap0.txt doc/chap1.txt doc/chap1.html doc/tallyra.xml tst/testall.g; do
  expect "$zipList" "Tallyra-$version-win64/gap/pkg/tallyra/$file"
  expect "$tgzList" "Tallyra-$version-Linux/share/gap/pkg/tallyra/$file"
  expect "$debList" "./usr/share/gap/pkg/tallyra/$file"
done
expect "$zipList" "Tallyra-$version-win64/copyright"
expect "$tgzList" "Tallyra-$version-Linux/share/doc/tallyra/copyright"
expect "$debList" "./usr/share/doc/tallyra/copyright"

# Each package's README.md is the users' one (docs/user-readme.md), not the
# source README with its build instructions.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$root/$zip" && cmake -E tar xf "$root/$tgz")
dpkg-deb -x "$deb" "$unpacked/deb"
for readme in "Tallyra-$version-Linux/share/doc/tallyra/README.md" \
  deb/usr/share/doc/tallyra/README.md; do
  if ! cmp -s "$unpacked/$readme" docs/user-readme.md; then
    echo "not the users' README: $readme" >&2
    failed=1
  fi
done
# The zip's text files are the same with CR LF line ends, as Windows
# editors want them: every LF has its CR, and nothing else differs.
windowsText() {  # file in the zip, its source
  local file=$unpacked/Tallyra-$version-win64/$1
  if grep -qv $'\r$' "$file" || [[ $(tr -d '\r' <"$file") != "$(tr -d '\r' <"$2")" ]]; then
    echo "not the CR LF copy of $2: $1" >&2
    failed=1
  fi
}
windowsText README.md docs/user-readme.md
windowsText packages.md docs/packages.md
windowsText copyright docs/copyright
windowsText gap/tallyra.g gap/tallyra.g
windowsText Tallyra-SampleData.txt Tallyra-SampleData.txt
((failed == 0))

step "done"
