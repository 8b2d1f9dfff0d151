#!/usr/bin/env bash
# The README's quick start in a minimal Debian 12 root without /sys, as a
# build root or a small container has it. Makes the root in DIR with
# debootstrap (variant minbase) unless DIR holds one already, clones this
# checkout's last commit into DIR/root/tallyra, mounts /proc there but not
# /sys, runs the quick start's two commands as root with an empty
# environment, and checks the sample's counts in its result file. Needs
# root and Debian's mirror; installs debootstrap when it is missing.
#   usage: bash scripts/quick-start-chroot.sh DIR
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD

if (($# != 1)); then
  echo "usage: bash scripts/quick-start-chroot.sh DIR" >&2
  exit 2
fi
if ((EUID != 0)); then
  echo "quick-start-chroot: run this as root (debootstrap, mount and chroot need it)" >&2
  exit 2
fi
dir=$(realpath -m "$1")

bash scripts/install-packages.sh chroot
if [[ ! -x $dir/bin/bash ]]; then
  debootstrap --variant=minbase bookworm "$dir" http://deb.debian.org/debian
fi
if mountpoint -q "$dir/sys"; then
  echo "quick-start-chroot: $dir/sys is mounted; this check is for a root without it" >&2
  exit 1
fi

rm -rf "$dir/root/tallyra"
git clone -q --no-checkout "$source" "$dir/root/tallyra"
git -C "$dir/root/tallyra" checkout -q --detach "$(git rev-parse HEAD)"
cp /etc/resolv.conf "$dir/etc/resolv.conf"

mount -t proc proc "$dir/proc"
trap 'umount "$dir/proc"' EXIT
log=$dir/root/quick-start.log
status=0
chroot "$dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin bash -c '
  cd /root/tallyra &&
  bash scripts/build-and-test.sh &&
  ./build/release/tallyra Tallyra-SampleData.txt </dev/null' >"$log" 2>&1 || status=$?
if ((status != 0)); then
  tail -n 40 "$log"
  echo "quick-start-chroot: the quick start failed (exit status $status; log in $log)" >&2
  exit 1
fi

# The counts that the sample's jobs say they give.
result=$dir/root/tallyra/Tallyra-SampleData_r0.txt
expected=(Z2=3 Z4=4 "Klein four-group=6" S3=7 M3=20 N5=23 partial=7 successor=5 relation=5)
for job in "${expected[@]}"; do
  line="Result for A=${job%=*}:  |Sub(A)| = ${job##*=}, whence"
  if ! grep -qF "$line" "$result"; then
    echo "quick-start-chroot: $result lacks \"$line\"" >&2
    exit 1
  fi
done
grep -E "tests passed|Skipped" "$log" || true
echo "quick-start-chroot: the quick start passed in $dir without /sys (log in $log)"
