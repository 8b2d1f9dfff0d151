#!/usr/bin/env bash
# The README's first command: installs the Debian packages that the build
# and its tests need (those still missing; with sudo unless run as root),
# then configures, builds and tests the release build in build/release/.
# With --packages it also installs what packing needs (GAP among it, which
# makes the manual of the GAP package that the packages hold) and makes the
# Linux packages (a tar.gz and a Debian package) in build/release/ as well.
#   usage: bash scripts/build-and-test.sh [--packages]
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
  "")
    bash scripts/install-packages.sh build
    cmake --workflow --preset release
    ;;
  --packages)
    bash scripts/install-packages.sh build packages gap
    cmake --workflow --preset linux
    ;;
  *)
    echo "usage: bash scripts/build-and-test.sh [--packages]" >&2
    exit 2
    ;;
esac
