#!/usr/bin/env bash
# Installs the dependencies, builds with warnings as errors and runs every test; builds the Debian
# package and tries it installed; then builds once more with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-layers.sh
jobs=$(nproc)

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DTORVM_WERROR=ON "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
bash scripts/package-test.sh build/release
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTORVM_SANITIZE=ON -DTORVM_BENCHMARKS=OFF
