#!/usr/bin/env bash
# The one list of the Debian packages that building, testing and packing
# Tallyra need, in groups, and their installation: installs what is still
# missing of the groups named (with sudo unless run as root), and nothing
# when all are there.
#   usage: bash scripts/install-packages.sh GROUP...
#
#   build     the release build and its tests: cmake, make and g++;
#             GoogleTest (its CMake files name gmock's library too, hence
#             libgmock-dev); /usr/bin/time, with which the memory-bound
#             test measures
#   packages  the Linux packages: CPack computes the Debian package's
#             dependencies with dpkg-shlibdeps (dpkg-dev) and file
#   checks    the other checks of CI: clang and its runtime for the fuzzer,
#             clang-format and clang-tidy, groff and man for the manual
#             page, sudo for the sudo lines of docs/packages.md
#   windows   the Windows program: MinGW-w64, and Wine to run it
#   gap       GAP with its libraries, the small groups library, GAPDoc,
#             with which the build makes the GAP package's manual, and
#             GAP's online help, without which ? finds no manual at all
#   chroot    debootstrap, for the quick start in a minimal Debian root
#             (scripts/quick-start-chroot.sh)
set -euo pipefail

packagesOf() {
  case $1 in
    build) echo cmake make g++ libgtest-dev libgmock-dev time ;;
    packages) echo dpkg-dev file ;;
    checks) echo clang libclang-rt-14-dev clang-format clang-tidy groff-base man-db sudo ;;
    windows) echo g++-mingw-w64-x86-64 wine wine64 ;;
    gap) echo gap-core gap-libs gap-smallgrp gap-gapdoc gap-online-help ;;
    chroot) echo debootstrap ;;
    *)
      echo "install-packages: no group \"$1\" (build, packages, checks, windows, gap, chroot)" >&2
      return 1
      ;;
  esac
}

if (($# == 0)); then
  echo "usage: bash scripts/install-packages.sh GROUP..." >&2
  exit 2
fi
wanted=()
for group in "$@"; do
  read -r -a list <<<"$(packagesOf "$group")"
  wanted+=("${list[@]}")
done

if ! command -v dpkg-query >/dev/null; then
  echo "not a Debian-like system: install these yourself (or what your system calls" \
    "them): ${wanted[*]}" >&2
  exit 0
fi
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi
echo "installing ${missing[*]}"
if ((EUID == 0)); then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "error: installing packages needs root: run this as root, or install sudo" >&2
  exit 1
fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends "${missing[@]}"
