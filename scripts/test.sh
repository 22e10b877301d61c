#!/usr/bin/env bash
# Builds Tarne and runs every test.  Works on a fresh Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${TARNE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNE_TESTS=ON
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
