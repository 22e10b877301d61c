# Sourced by the benchmarks that time tarne-cli in Release.  build_cli
# SOURCE BUILD builds it from a source folder; release_cli sets $cli to
# $TARNE_CLI, or else to a Release build of $root in $root/build-release.
build_cli() {  # source folder, build folder
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNE_TESTS=OFF >/dev/null
  cmake --build "$2" --target tarne-cli -j2 >/dev/null
}

release_cli() {
  cli=${TARNE_CLI:-}
  if [ -z "$cli" ]; then
    build_cli "$root" "$root/build-release"
    cli=$root/build-release/cli/tarne-cli
  fi
}
