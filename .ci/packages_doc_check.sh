#!/usr/bin/env bash
# Follows docs/packages.md as a new user would: runs its shell blocks (the
# ```sh ones, not the Windows ```bat ones), in order, literally, in one
# shell, with a clean environment and a new, empty home folder that holds
# nothing but the downloaded packages in ~/Downloads. Exits non-zero when a
# command fails or the runs leave no result files.
#
# The Debian part installs and removes the package with sudo, so run this
# as root (with sudo installed) or as a user who may use sudo, on a machine
# where tallyra is not installed.
#   usage: .ci/packages_doc_check.sh [PACKAGE_FOLDER]   (default build/release)
set -euo pipefail
exec </dev/null

root=$(cd "$(dirname "$0")/.." && pwd)
packages=$(realpath "${1:-$root/build/release}")
doc=$root/docs/packages.md
clean_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

if PATH=$clean_path command -v tallyra >/dev/null; then
  echo "tallyra is already installed ($(PATH=$clean_path command -v tallyra));" \
    "this check needs a machine without it" >&2
  exit 1
fi

installed() { dpkg-query -W -f='${Status}' tallyra 2>/dev/null | grep -q "install ok installed"; }
sudo=()
((EUID == 0)) || sudo=(sudo)
work=$(mktemp -d)
# The document removes the package at the end of its Debian part; should a
# command fail before, remove it here (it was not installed before).
trap 'rm -rf "$work"; if installed; then "${sudo[@]}" apt-get remove -y -q tallyra; fi' EXIT
home=$work/home
mkdir -p "$home/Downloads"
cp "$packages"/tallyra_*.deb "$packages"/Tallyra-*-Linux.tar.gz "$home/Downloads/"
ls -l "$home/Downloads"

awk '/^```sh$/ { inside = 1; next } /^```$/ { inside = 0; next } inside' "$doc" \
  >"$work/commands.sh"
blocks=$(grep -c '^```sh$' "$doc")
echo "$blocks shell blocks, $(wc -l <"$work/commands.sh") commands:"
cat "$work/commands.sh"
if ((blocks == 0)); then
  echo "no \`\`\`sh blocks in $doc" >&2
  exit 1
fi

echo "running them:"
(cd "$home" &&
  env -i HOME="$home" PATH="$clean_path" LANG=C.UTF-8 USER="$(id -un)" TERM=dumb \
    bash -euo pipefail -x "$work/commands.sh")

# Every run of the program in the document counted the sample.
results=$(find "$home" -name 'Tallyra-SampleData_r*.txt' | sort)
echo "result files:"
echo "$results"
[[ -n $results ]]
while read -r f; do
  grep -q 'Result for A=Z2:  |Sub(A)| = 3,' "$f" || {
    echo "$f does not hold the sample's first result" >&2
    exit 1
  }
done <<<"$results"
echo "docs/packages.md works as written"
