#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then runs the core, the
# statistics server, the command line and the end-to-end tests once more under AddressSanitizer
# and UndefinedBehaviorSanitizer, the threaded ones (the sender, the job thread, the keep-alive,
# the server's workers) under ThreadSanitizer, and last fuzzes every reader of files and of the
# network for a short while with clang's libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/check_structure.sh

jobs=$(nproc)
werror=${VELMORA_WERROR:-OFF}
lean=(-DBUILD_GUI=OFF -DBUILD_BENCHMARKS=OFF -DVELMORA_WERROR="$werror")

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_GUI=ON -DVELMORA_WERROR="$werror"
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug "${lean[@]}" -DENABLE_SANITIZERS=ON
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -L 'core|cli|e2e'

# Only the threaded areas are built here; the others stand in the list as "..._NOT_BUILT". The
# command line's checks (the manual pages among them), the PostgreSQL runs and the server killed
# amid batches run in the trees above: under ThreadSanitizer they outlast their time limits.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${lean[@]}" -DVELMORA_TSAN=ON
cmake --build build-tsan -j "$jobs" --target server_tests client_e2e_tests e2e_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
  -E '_NOT_BUILT$|AServerKilledInTheMiddleOfBatches' -LE '^(cli|postgresql)$'

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DBUILD_GUI=OFF -DBUILD_BENCHMARKS=OFF -DVELMORA_FUZZ=ON
cmake --build build-fuzz -j "$jobs" --target fuzzers
ctest --test-dir build-fuzz --output-on-failure -L fuzz
