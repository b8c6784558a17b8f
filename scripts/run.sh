#!/usr/bin/env bash
# Installs what is missing, builds Velmora into build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_GUI=ON
cmake --build build --target velmora velmora-cli
exec build/bin/velmora "$@"
