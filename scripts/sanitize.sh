#!/usr/bin/env bash
# The sanitizer build: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, the libFuzzer targets, and the whole test suite
# run in it (the desktop is left out).  Any finding fails the run.
#
#   scripts/sanitize.sh            configure, build, run the tests
#   scripts/sanitize.sh configure  only configure
#   TARNE_SAN_BUILD_DIR=DIR        the build folder (default build-san)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TARNE_SAN_BUILD_DIR:-build-san}
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DTARNE_SANITIZE=ON -DTARNE_FUZZ=ON -DTARNE_TESTS=ON -DTARNE_DESKTOP=OFF >/dev/null
[ "${1:-}" = configure ] && exit 0
cmake --build "$build" -j"${TARNE_JOBS:-$(nproc)}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j"${TARNE_JOBS:-$(nproc)}"
