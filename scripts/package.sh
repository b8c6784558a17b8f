#!/usr/bin/env bash
# Builds the Debian packages velmora, velmora-statserver and velmora-common into BUILD/packages.
#   scripts/package.sh [BUILD]
# BUILD (default build-package) is configured for the programs alone when it is new; an existing
# build folder, such as the one scripts/test.sh made, is used as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-package}
scripts/deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_GUI=ON -DBUILD_TESTING=OFF \
    -DBUILD_BENCHMARKS=OFF -DVELMORA_WERROR="${VELMORA_WERROR:-OFF}"
fi
cmake --build "$build" -j "$(nproc)"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB -B "$PWD/packages" > cpack.log) || { cat "$build/cpack.log"; exit 1; }
ls -1 "$build"/packages/*.deb
