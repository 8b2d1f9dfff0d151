#!/usr/bin/env bash
# The README's first command: installs the Debian packages that the build
# and its tests need (those still missing; with sudo unless run as root),
# then configures, builds and tests the release build in build/release/.
#   usage: bash scripts/build-and-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# cmake, make and g++ build; GoogleTest's CMake files name gmock's library
# too, hence libgmock-dev; the memory-bound test measures with /usr/bin/time.
needed=(cmake make g++ libgtest-dev libgmock-dev time)

if command -v dpkg-query >/dev/null; then
  missing=()
  for p in "${needed[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$p")
  done
  if ((${#missing[@]} > 0)); then
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
  fi
else
  echo "not a Debian-like system: install CMake 3.25 or newer, a C++20 compiler" \
    "and GoogleTest yourself" >&2
fi

cmake --workflow --preset release
