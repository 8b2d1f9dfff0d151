#!/usr/bin/env bash
# The Windows part of continuous integration, with the release packages:
#   1. installs the Debian packages it needs (when some are missing),
#   2. cross-compiles tallyra.exe and packs the Windows zip,
#   3. runs every end-to-end case against tallyra.exe under Wine,
#   4. builds and tests the Linux program and packs the tar.gz,
#   5. checks what the two packages hold.
# Reads no standard input; exits non-zero at the first failure.
set -euo pipefail
exec </dev/null

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
started=$SECONDS
step() { printf '\n== %s (%ds)\n' "$1" $((SECONDS - started)); }

step "packages"
needed=(cmake make g++ libgtest-dev g++-mingw-w64-x86-64 wine wine64)
missing=()
for p in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} > 0)); then
  sudo=()
  ((EUID == 0)) || sudo=(sudo -n)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "all installed: ${needed[*]}"
fi

step "Windows program and zip"
cmake --workflow --preset windows

step "end-to-end cases under Wine"
tests/run_e2e_wine.sh

step "Linux program, tests and tar.gz"
cmake --workflow --preset linux

step "package contents"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
zip=build/windows/Tallyra-$version-win64.zip
tgz=build/release/Tallyra-$version-Linux.tar.gz
zipList=$(cmake -E tar tf "$zip")
tgzList=$(cmake -E tar tf "$tgz")
printf '%s:\n%s\n%s:\n%s\n' "$zip" "$zipList" "$tgz" "$tgzList"

failed=0
expect() {  # package listing, path inside the package
  if ! grep -qx -- "$2" <<<"$1"; then
    echo "missing from package: $2" >&2
    failed=1
  fi
}
expect "$zipList" "Tallyra-$version-win64/tallyra.exe"
expect "$tgzList" "Tallyra-$version-Linux/bin/tallyra"
for doc in README.md Tallyra-SampleData.txt docs/packages.md; do
  if [[ -f $doc ]]; then
    expect "$zipList" "Tallyra-$version-win64/${doc##*/}"
    expect "$tgzList" "Tallyra-$version-Linux/share/doc/tallyra/${doc##*/}"
  else
    echo "warning: $doc is not in the source tree, so the packages lack it" >&2
  fi
done
((failed == 0))

step "done"
