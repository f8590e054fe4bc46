#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test in three stages: the
# unit and headless suites with the real-window suites (each starts its own
# Xvfb); the unit and headless suites again under AddressSanitizer with
# UndefinedBehaviorSanitizer; and once more under ThreadSanitizer, the
# threaded runtime included.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=address,undefined -DWITH_WINDOW=OFF -DWERROR=ON
cmake --build build-asan -j"$jobs"
ROBUSTNESS_RUNS=1000 ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit

# ThreadSanitizer, the threaded runtime included. The frame thread's unlocked
# reads of the page, which are by design, are marked in the code itself.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=thread -DWITH_WINDOW=OFF -DWERROR=ON
cmake --build build-tsan -j"$jobs"
ROBUSTNESS_RUNS=300 ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L unit
