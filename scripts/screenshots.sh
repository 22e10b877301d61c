#!/usr/bin/env bash
# Runs the desktop program under a virtual display (Xvfb), drives it to each
# of its windows and saves the pictures in docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh xvfb xauth
build=${TARNE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build "$build" --target tarne-tour -j"$(nproc)" >&2
out=docs/screenshots
mkdir -p "$out"
# No window manager runs on the virtual display: the pictures show the
# windows' contents without title bars.
xvfb-run -a -s "-screen 0 1280x960x24" "$build/desktop/tarne-tour" "$out"
# The same program at twice the scale: nothing may be cut or overlap.
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2000x1500x24" \
  "$build/desktop/tarne-tour" "$out" scale2
