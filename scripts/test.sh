#!/usr/bin/env bash
# Builds Tarne and runs every test; builds the Debian package, installs it,
# tries it and purges it again (scripts/package_test.sh, as root or with
# sudo); then runs the same suite in the sanitizer build and each fuzz target
# for a few seconds.  Works on a fresh Debian 12 machine.
# TARNE_FUZZ_SECONDS (default 5) sets the fuzzing time per target;
# TARNE_SANITIZE=0 skips the sanitizer build and the fuzzing;
# TARNE_PACKAGE_TEST=0 skips the package.  The server-side tests run against
# a throwaway PostgreSQL server (scripts/test_server.sh), and the database,
# training and scoring suites run there a second time with their projects on
# that server (TARNE_TEST_ENGINE=server); TARNE_SERVER_TEST=0 skips them.
set -euo pipefail
cd "$(dirname "$0")/.."
server_packages=()
[ "${TARNE_SERVER_TEST:-1}" = 0 ] || server_packages=(postgresql)
scripts/deps.sh "${server_packages[@]}"
# Cache hits across clones in other folders (see CMakeLists.txt).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
build=${TARNE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNE_TESTS=ON
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
if [ "${TARNE_SERVER_TEST:-1}" != 0 ]; then
  # Only the tests that use the server; the rest ran above.
  scripts/test_server.sh bash -c '
    ctest --test-dir "$1" --output-on-failure -R Server &&
    TARNE_TEST_ENGINE=server ctest --test-dir "$1" --output-on-failure -j"$(nproc)" \
      -L "^(db|training|scoring)$" -E "^ServerEngineTest"' -- "$build"
fi
if [ "${TARNE_PACKAGE_TEST:-1}" != 0 ]; then
  TARNE_BUILD_DIR="$build" scripts/package_test.sh
fi
if [ "${TARNE_SANITIZE:-1}" != 0 ]; then
  scripts/sanitize.sh
  scripts/fuzz.sh "${TARNE_FUZZ_SECONDS:-5}"
fi
