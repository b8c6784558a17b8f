#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds the core once more
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs the core tests again; last, fuzzes
# the transfer-file reader for a short while with clang's libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/check_structure.sh

jobs=$(nproc)
werror=${VELMORA_WERROR:-OFF}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_GUI=ON -DVELMORA_WERROR="$werror"
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_GUI=OFF -DBUILD_BENCHMARKS=OFF \
  -DENABLE_SANITIZERS=ON -DVELMORA_WERROR="$werror"
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -L core

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DBUILD_GUI=OFF -DBUILD_BENCHMARKS=OFF -DVELMORA_FUZZ=ON
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz --output-on-failure -L fuzz
