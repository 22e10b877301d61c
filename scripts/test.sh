#!/usr/bin/env bash
# Builds Tarne and runs every test, then the same suite in the sanitizer
# build and each fuzz target for a few seconds.  Works on a fresh Debian 12
# machine.  TARNE_FUZZ_SECONDS (default 5) sets the fuzzing time per target;
# TARNE_SANITIZE=0 skips the sanitizer build and the fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${TARNE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNE_TESTS=ON
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
if [ "${TARNE_SANITIZE:-1}" != 0 ]; then
  scripts/sanitize.sh
  scripts/fuzz.sh "${TARNE_FUZZ_SECONDS:-5}"
fi
