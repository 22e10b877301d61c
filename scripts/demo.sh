#!/usr/bin/env bash
# Builds tarne-cli and runs Tarne's main job: the demo project from the
# sample essays in examples/ (created under the temporary folder unless a
# folder is given).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${TARNE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNE_TESTS=OFF >&2
cmake --build "$build" --target tarne-cli -j"$(nproc)" >&2
exec "$build/cli/tarne-cli" demo "$@"
