#!/usr/bin/env bash
# Builds the Debian package of Tarne, BUILD/tarne_VERSION_ARCH.deb, and
# prints its path on standard output (all else goes to standard error).
# BUILD is TARNE_BUILD_DIR, else build; a folder not yet configured is
# configured without the tests.  Install the package with
#   sudo apt-get install ./build/tarne_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh >&2
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
build=${TARNE_BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNE_TESTS=OFF >&2
fi
# An older version's package would be taken for this one.
rm -f "$build"/tarne_*.deb
cmake --build "$build" --target package -j"$(nproc)" >&2
debs=("$build"/tarne_*.deb)
[ -f "${debs[0]}" ] || { echo "package.sh: no package was written" >&2; exit 1; }
echo "$(cd "$build" && pwd)/$(basename "${debs[0]}")"
