#!/usr/bin/env bash
# Builds Tarne and runs its main job: the demo project from the sample essays
# in examples/ (created under the temporary folder unless a folder is given).
# With a display, the desktop program then opens on the trained project with
# the demo's reports in its pane; without one, tarne-cli prints them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${TARNE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNE_TESTS=OFF >&2
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  cmake --build "$build" --target tarne-cli tarne -j"$(nproc)" >&2
  dir=${1:-$(mktemp -d "${TMPDIR:-/tmp}/tarne-demo-XXXXXX")}
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  "$build/cli/tarne-cli" demo "$dir" | tee "$dir/demo-report.txt"
  exec "$build/desktop/tarne" "$dir/demo.trn" "$dir/demo-report.txt"
fi
cmake --build "$build" --target tarne-cli -j"$(nproc)" >&2
exec "$build/cli/tarne-cli" demo "$@"
